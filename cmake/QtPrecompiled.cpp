// The source the shared precompiled header is built with; see QtPrecompiled.h.
