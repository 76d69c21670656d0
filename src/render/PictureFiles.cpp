#include "render/PictureFiles.h"

#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QMessageLogContext>
#include <QString>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace tbrender {
namespace {

// The path as the user typed it, for messages (whole on every system).
std::string shown(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string()).toStdString();
}

// The decoders' warnings of a picture being read on this thread. libpng reports damage it
// can read past (palette indices past the palette) only as a warning, which reaches us as a
// log message of Qt's image category (of the info level, in some versions); the picture
// would otherwise be taken as it decodes.
class DecoderWarnings {
public:
    DecoderWarnings() : m_outer(t_current) {
        t_current = this;
        m_previous = qInstallMessageHandler(&DecoderWarnings::handle);
    }
    ~DecoderWarnings() {
        qInstallMessageHandler(m_previous);
        t_current = m_outer;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    const QString& first() const { return m_first; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        DecoderWarnings* self = t_current;
        if (self && type != QtDebugMsg && context.category &&
            qstrcmp(context.category, "qt.gui.imageio") == 0) {
            if (self->m_first.isEmpty())
                self->m_first = text;
            return;
        }
        // Anything else goes where it went before.
        const QtMessageHandler previous = self ? self->m_previous : nullptr;
        if (previous)
            previous(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }

    static thread_local DecoderWarnings* t_current;
    DecoderWarnings* m_outer;
    QtMessageHandler m_previous = nullptr;
    QString m_first;
};

thread_local DecoderWarnings* DecoderWarnings::t_current = nullptr;

// The codecs read and write a picture piece by piece through a device; this one fails once
// a stop is asked for, so that a large picture's coding ends at the next piece.
class StoppableBuffer : public QBuffer {
public:
    explicit StoppableBuffer(const tb::Progress& progress) : m_progress(progress) {}

protected:
    qint64 readData(char* data, qint64 size) override {
        return m_progress.stopRequested() ? -1 : QBuffer::readData(data, size);
    }
    qint64 writeData(const char* data, qint64 size) override {
        return m_progress.stopRequested() ? -1 : QBuffer::writeData(data, size);
    }

private:
    const tb::Progress& m_progress;
};

} // namespace

void writePngFile(const QImage& image, const std::filesystem::path& path, tb::Progress& progress,
                  const std::string& stoppedMessage) {
    QByteArray png;
    StoppableBuffer buffer(progress);
    buffer.setBuffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const bool encoded = image.save(&buffer, "PNG");
    tb::stopIfRequested(progress, stoppedMessage);
    if (!encoded)
        throw std::runtime_error("cannot encode the picture for \"" + shown(path) + "\" as PNG");
    tb::writeFileAtomically(path, png.constData(), std::size_t(png.size()));
}

QImage readPictureFile(const std::filesystem::path& path,
                       const std::function<void(const QSize&)>& checkSize, tb::Progress& progress,
                       const std::string& stoppedMessage) {
    const std::vector<unsigned char> bytes = tb::readFileBytes(path);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    qsizetype(bytes.size()));
    StoppableBuffer buffer(progress);
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const auto noPicture = [&](const QString& why) {
        return std::runtime_error("cannot read \"" + shown(path) +
                                  "\" as a picture: " + why.toStdString());
    };
    QImage image;
    QSize size;
    {
        // A picture its decoder warns about is damaged: it is refused, not guessed at.
        const DecoderWarnings warnings;
        size = reader.size();
        if (checkSize && size.isValid()) {
            checkSize(size);
            // The size is one the caller accepts, so its decoding may take what it needs (a
            // 16-bit colour picture of the largest map is over Qt's default limit).
            reader.setAllocationLimit(1024);
        }
        image = reader.read();
        tb::stopIfRequested(progress, stoppedMessage);
        if (!warnings.first().isEmpty())
            throw noPicture(warnings.first());
    }
    if (image.isNull())
        throw noPicture(reader.errorString());
    if (checkSize && !size.isValid())
        checkSize(image.size());
    return image;
}

} // namespace tbrender
