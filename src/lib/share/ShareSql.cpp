#include "share/ShareSql.h"

#include "share/PgParams.h"

namespace tb::sql {
namespace {

using namespace pgtype;

// Who may read a facet: anyone acting as a role that holds a right on it or on every facet.
// Both subqueries are independent of the row, so the server works them out once per scan.
#define TB_MAY_READ(facetColumn)                                                                   \
    "(" facetColumn " IN (SELECT a.facet FROM tb.my_access() a) OR "                               \
    "EXISTS (SELECT 1 FROM tb.my_access() a WHERE a.facet IS NULL))"

} // namespace

const char* createSchema() {
    return R"sql(
CREATE SCHEMA tb;

CREATE TABLE tb.schema_version (version integer NOT NULL);
INSERT INTO tb.schema_version VALUES (1);

-- Block revisions come from one sequence, so a revision is never given to a block twice,
-- not even after its facet was imported again.
CREATE SEQUENCE tb.revision;

CREATE TABLE tb.facet (
    facet integer PRIMARY KEY CHECK (facet >= 0),
    width integer NOT NULL,
    height integer NOT NULL,
    variant_file text NOT NULL,
    variant_size bigint NOT NULL,
    tail bytea NOT NULL,
    source text NOT NULL,
    imported_by text NOT NULL DEFAULT current_user,
    imported_at timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE tb.land_block (
    facet integer NOT NULL,
    block integer NOT NULL,
    block_x integer NOT NULL,
    block_y integer NOT NULL,
    revision bigint NOT NULL,
    cells bytea NOT NULL CHECK (length(cells) = 196),
    author text NOT NULL DEFAULT current_user,
    changed_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (facet, block)
);

-- records: the block's 7-byte records in file order. extra: the third word of its index
-- entry; blank_length: the second word while the block has no records (files hold 0 or -1).
CREATE TABLE tb.statics_block (
    facet integer NOT NULL,
    block integer NOT NULL,
    block_x integer NOT NULL,
    block_y integer NOT NULL,
    revision bigint NOT NULL,
    records bytea NOT NULL CHECK (length(records) % 7 = 0),
    extra integer NOT NULL,
    blank_length integer NOT NULL,
    author text NOT NULL DEFAULT current_user,
    changed_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (facet, block)
);

-- kind: 'L' land, 'S' statics. stroke: the stroke that made the change, when one did.
CREATE TABLE tb.change (
    revision bigint PRIMARY KEY,
    facet integer NOT NULL,
    kind "char" NOT NULL,
    block integer NOT NULL,
    author text NOT NULL,
    changed_at timestamptz NOT NULL,
    stroke uuid
);

-- Every stroke committed, so that one committed again from a journal is recognised.
CREATE TABLE tb.stroke (
    id uuid PRIMARY KEY,
    facet integer NOT NULL,
    author text NOT NULL DEFAULT current_user,
    committed_at timestamptz NOT NULL DEFAULT now()
);

-- Rights: a facet of null means every facet, a region of nulls the whole facet. Regions
-- are block ranges, both ends included.
CREATE TABLE tb.access (
    grantee text NOT NULL,
    access text NOT NULL CHECK (access IN ('read', 'write')),
    facet integer,
    block_x1 integer,
    block_y1 integer,
    block_x2 integer,
    block_y2 integer,
    UNIQUE NULLS NOT DISTINCT (grantee, access, facet, block_x1, block_y1, block_x2, block_y2)
);

CREATE TABLE tb.presence (
    session uuid PRIMARY KEY,
    builder text NOT NULL DEFAULT current_user,
    facet integer NOT NULL,
    x1 integer NOT NULL,
    y1 integer NOT NULL,
    x2 integer NOT NULL,
    y2 integer NOT NULL,
    seen_at timestamptz NOT NULL DEFAULT now()
);

-- The rights of every role the current user acts as, group roles included.
CREATE FUNCTION tb.my_access() RETURNS SETOF tb.access LANGUAGE sql STABLE AS $$
    SELECT a.* FROM tb.access a JOIN pg_catalog.pg_roles r ON r.rolname = a.grantee
    WHERE pg_catalog.pg_has_role(r.oid, 'MEMBER')
$$;

CREATE FUNCTION tb.may_write(p_facet integer, p_x integer, p_y integer) RETURNS boolean
LANGUAGE sql STABLE AS $$
    SELECT EXISTS (SELECT 1 FROM tb.my_access() a
                   WHERE a.access = 'write' AND (a.facet IS NULL OR a.facet = p_facet)
                     AND (a.block_x1 IS NULL OR (p_x BETWEEN a.block_x1 AND a.block_x2
                                                 AND p_y BETWEEN a.block_y1 AND a.block_y2)))
$$;

-- Every change of a block gets a new revision, the changing role and the time, whatever
-- the statement asked for.
CREATE FUNCTION tb.stamp_block() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    NEW.facet := OLD.facet;
    NEW.block := OLD.block;
    NEW.block_x := OLD.block_x;
    NEW.block_y := OLD.block_y;
    NEW.revision := nextval('tb.revision');
    NEW.author := current_user;
    NEW.changed_at := now();
    RETURN NEW;
END
$$;

-- Logged and announced with the owner's rights: builders cannot write the log themselves.
CREATE FUNCTION tb.log_block() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    k "char" := CASE TG_TABLE_NAME WHEN 'land_block' THEN 'L' ELSE 'S' END;
BEGIN
    INSERT INTO tb.change (revision, facet, kind, block, author, changed_at, stroke)
    VALUES (NEW.revision, NEW.facet, k, NEW.block, NEW.author, NEW.changed_at,
            nullif(current_setting('tb.stroke', true), '')::uuid);
    PERFORM pg_notify('tb_facet_' || NEW.facet,
                      k::text || ' ' || NEW.block || ' ' || NEW.revision || ' ' || NEW.author);
    RETURN NULL;
END
$$;

CREATE TRIGGER stamp BEFORE UPDATE ON tb.land_block
    FOR EACH ROW EXECUTE FUNCTION tb.stamp_block();
CREATE TRIGGER log AFTER UPDATE ON tb.land_block
    FOR EACH ROW EXECUTE FUNCTION tb.log_block();
CREATE TRIGGER stamp BEFORE UPDATE ON tb.statics_block
    FOR EACH ROW EXECUTE FUNCTION tb.stamp_block();
CREATE TRIGGER log AFTER UPDATE ON tb.statics_block
    FOR EACH ROW EXECUTE FUNCTION tb.log_block();

-- One stroke in one transaction: each block is written only while it still has the
-- revision the builder holds (SQLSTATE TB409 otherwise, and nothing is written). Returns the
-- new revisions, land blocks first, or null for a stroke the server already holds.
CREATE FUNCTION tb.commit_stroke(p_facet integer, p_stroke uuid,
                                 p_land integer[], p_land_revisions bigint[], p_cells bytea[],
                                 p_statics integer[], p_statics_revisions bigint[],
                                 p_records bytea[])
RETURNS bigint[] LANGUAGE plpgsql AS $$
DECLARE
    done bigint[] := '{}';
    r bigint;
BEGIN
    INSERT INTO tb.stroke (id, facet) VALUES (p_stroke, p_facet) ON CONFLICT DO NOTHING;
    IF NOT FOUND THEN
        RETURN NULL;
    END IF;
    PERFORM set_config('tb.stroke', p_stroke::text, true);
    FOR i IN 1 .. coalesce(cardinality(p_land), 0) LOOP
        UPDATE tb.land_block SET cells = p_cells[i]
         WHERE facet = p_facet AND block = p_land[i] AND revision = p_land_revisions[i]
        RETURNING revision INTO r;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'land block % of facet % was changed meanwhile', p_land[i], p_facet
                USING ERRCODE = 'TB409';
        END IF;
        done := done || r;
    END LOOP;
    FOR i IN 1 .. coalesce(cardinality(p_statics), 0) LOOP
        UPDATE tb.statics_block SET records = p_records[i]
         WHERE facet = p_facet AND block = p_statics[i] AND revision = p_statics_revisions[i]
        RETURNING revision INTO r;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'statics block % of facet % was changed meanwhile', p_statics[i],
                p_facet USING ERRCODE = 'TB409';
        END IF;
        done := done || r;
    END LOOP;
    RETURN done;
END
$$;

-- Reading is by facet; writing by facet and region. A write outside every region of the
-- role fails with "new row violates row-level security policy" (42501) rather than
-- finding no row, so that it is told apart from a block changed meanwhile.
ALTER TABLE tb.facet ENABLE ROW LEVEL SECURITY;
CREATE POLICY read ON tb.facet FOR SELECT USING )sql" TB_MAY_READ("facet") R"sql(;
ALTER TABLE tb.change ENABLE ROW LEVEL SECURITY;
CREATE POLICY read ON tb.change FOR SELECT USING )sql" TB_MAY_READ("facet") R"sql(;
ALTER TABLE tb.land_block ENABLE ROW LEVEL SECURITY;
CREATE POLICY read ON tb.land_block FOR SELECT USING )sql" TB_MAY_READ("facet") R"sql(;
CREATE POLICY write ON tb.land_block FOR UPDATE USING (true)
    WITH CHECK (tb.may_write(facet, block_x, block_y));
ALTER TABLE tb.statics_block ENABLE ROW LEVEL SECURITY;
CREATE POLICY read ON tb.statics_block FOR SELECT USING )sql" TB_MAY_READ("facet") R"sql(;
CREATE POLICY write ON tb.statics_block FOR UPDATE USING (true)
    WITH CHECK (tb.may_write(facet, block_x, block_y));
-- Everyone sees who is where; each builder writes only their own rows.
ALTER TABLE tb.presence ENABLE ROW LEVEL SECURITY;
CREATE POLICY seen ON tb.presence FOR SELECT USING (true);
CREATE POLICY own ON tb.presence FOR ALL USING (builder = current_user)
    WITH CHECK (builder = current_user);
)sql";
}

std::string channel(int facet) {
    return "tb_facet_" + std::to_string(facet);
}

std::string grantRead(const std::string& role) {
    return "GRANT USAGE ON SCHEMA tb TO " + role +
           ";\n"
           "GRANT SELECT ON tb.schema_version, tb.facet, tb.land_block, tb.statics_block, "
           "tb.change, tb.access, tb.presence TO " +
           role +
           ";\n"
           "GRANT INSERT, UPDATE, DELETE ON tb.presence TO " +
           role + ";\n";
}

std::string grantWrite(const std::string& role) {
    return grantRead(role) + "GRANT UPDATE (cells) ON tb.land_block TO " + role +
           ";\n"
           "GRANT UPDATE (records) ON tb.statics_block TO " +
           role +
           ";\n"
           "GRANT INSERT ON tb.stroke TO " +
           role +
           ";\n"
           "GRANT USAGE ON SEQUENCE tb.revision TO " +
           role + ";\n";
}

std::string copyLandOut(int facet) {
    return "COPY (SELECT block, revision, cells FROM tb.land_block WHERE facet = " +
           std::to_string(facet) + ") TO STDOUT (FORMAT binary)";
}

std::string copyStaticsOut(int facet) {
    return "COPY (SELECT block, revision, records, extra, blank_length FROM tb.statics_block "
           "WHERE facet = " +
           std::to_string(facet) + ") TO STDOUT (FORMAT binary)";
}

std::string copyRevisionsOut(const char* table, int facet) {
    return std::string("COPY (SELECT block, revision FROM tb.") + table +
           " WHERE facet = " + std::to_string(facet) + ") TO STDOUT (FORMAT binary)";
}

std::string copyLandIn() {
    return "COPY tb.land_block (facet, block, block_x, block_y, revision, cells) FROM STDIN "
           "(FORMAT binary)";
}

std::string copyStaticsIn() {
    return "COPY tb.statics_block (facet, block, block_x, block_y, revision, records, extra, "
           "blank_length) FROM STDIN (FORMAT binary)";
}

const PreparedStatement kSchemaPresent{
    "tb_schema_present", "SELECT to_regclass('tb.schema_version') IS NOT NULL", {}};

const PreparedStatement kSchemaVersionOf{
    "tb_schema_version", "SELECT max(version) FROM tb.schema_version", {}};

const PreparedStatement kFacetOf{
    "tb_facet_of",
    "SELECT width, height, variant_file, variant_size, tail, source FROM tb.facet "
    "WHERE facet = $1",
    {kInt4}};

const PreparedStatement kFacetForImport{
    "tb_facet_for_import", "SELECT 1 FROM tb.facet WHERE facet = $1 FOR UPDATE", {kInt4}};

const PreparedStatement kDeleteFacet{"tb_delete_facet",
                                     "WITH l AS (DELETE FROM tb.land_block WHERE facet = $1), "
                                     "s AS (DELETE FROM tb.statics_block WHERE facet = $1), "
                                     "c AS (DELETE FROM tb.change WHERE facet = $1) "
                                     "DELETE FROM tb.facet WHERE facet = $1",
                                     {kInt4}};

const PreparedStatement kInsertFacet{
    "tb_insert_facet",
    "INSERT INTO tb.facet (facet, width, height, variant_file, variant_size, tail, source) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7)",
    {kInt4, kInt4, kInt4, kText, kInt8, kBytea, kText}};

const PreparedStatement kNextRevision{"tb_next_revision", "SELECT nextval('tb.revision')", {}};

const PreparedStatement kNotifyReplaced{"tb_notify_replaced", "SELECT pg_notify($1, 'R')", {kText}};

const PreparedStatement kFetchLand{
    "tb_fetch_land",
    "SELECT block, revision, cells FROM tb.land_block WHERE facet = $1 AND block = ANY($2)",
    {kInt4, kInt4Array}};

const PreparedStatement kFetchStatics{
    "tb_fetch_statics",
    "SELECT block, revision, records FROM tb.statics_block WHERE facet = $1 AND block = ANY($2)",
    {kInt4, kInt4Array}};

const PreparedStatement kCommitStroke{
    "tb_commit_stroke",
    "SELECT tb.commit_stroke($1, $2, $3, $4, $5, $6, $7, $8)",
    {kInt4, kUuid, kInt4Array, kInt8Array, kByteaArray, kInt4Array, kInt8Array, kByteaArray}};

const PreparedStatement kNotifyMarker{
    "tb_notify_marker", "SELECT pg_notify($1, 'M ' || $2)", {kText, kText}};

const PreparedStatement kInsertAccess{
    "tb_insert_access",
    "INSERT INTO tb.access (grantee, access, facet, block_x1, block_y1, block_x2, block_y2) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7) ON CONFLICT DO NOTHING",
    {kText, kText, kInt4, kInt4, kInt4, kInt4, kInt4}};

const PreparedStatement kMyWriteRegions{
    "tb_my_write_regions",
    "SELECT block_x1, block_y1, block_x2, block_y2 FROM tb.my_access() "
    "WHERE access = 'write' AND (facet IS NULL OR facet = $1) "
    "ORDER BY block_x1 NULLS FIRST, block_y1",
    {kInt4}};

const PreparedStatement kAnnounce{
    "tb_announce",
    "INSERT INTO tb.presence (session, facet, x1, y1, x2, y2) VALUES ($1, $2, $3, $4, $5, $6) "
    "ON CONFLICT (session) DO UPDATE SET facet = excluded.facet, x1 = excluded.x1, "
    "y1 = excluded.y1, x2 = excluded.x2, y2 = excluded.y2, seen_at = now()",
    {kUuid, kInt4, kInt4, kInt4, kInt4, kInt4}};

const PreparedStatement kPresent{
    "tb_present",
    "SELECT builder, x1, y1, x2, y2, session FROM tb.presence "
    "WHERE facet = $1 AND seen_at > now() - make_interval(secs => $2) AND session <> $3 "
    "ORDER BY builder, session",
    {kInt4, kInt4, kUuid}};

const PreparedStatement kLeave{"tb_leave", "DELETE FROM tb.presence WHERE session = $1", {kUuid}};

} // namespace tb::sql
