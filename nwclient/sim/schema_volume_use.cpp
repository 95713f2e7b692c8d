// Schema of how volumes are used (step 7 of the store's schema): the configured size of each
// volume, the disk restrictions of objects, the directory bases that name directories of a
// volume, and the deleted files kept in the volumes' salvage areas.
namespace nwsim {
extern const char* const schemaVolumeUse;
const char* const schemaVolumeUse = R"sql(
  ALTER TABLE volumes ADD COLUMN size_blocks INTEGER NOT NULL DEFAULT 65536;  -- 4 KB blocks

  -- An object's limit on a volume, in 4 KB blocks; no row: no restriction.
  CREATE TABLE disk_restrictions(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    volume INTEGER NOT NULL,
    object_id INTEGER NOT NULL,
    limit_blocks INTEGER NOT NULL,
    PRIMARY KEY(server_id, volume, object_id)) WITHOUT ROWID;

  -- A directory's number on its volume, given the first time one is needed (path: a key
  -- of fs_entries).
  CREATE TABLE dir_bases(
    base INTEGER PRIMARY KEY,
    server_id INTEGER NOT NULL REFERENCES servers(id),
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    UNIQUE(server_id, volume, path));

  -- Deleted files: the sequence is also the name of the file in the salvage area
  -- (<network>/salvage/<SERVER>/<VOLUME>/<seq>). The columns after the name keep what the
  -- volume knew of the entry when it was deleted.
  CREATE TABLE deleted_files(
    seq INTEGER PRIMARY KEY,
    server_id INTEGER NOT NULL REFERENCES servers(id),
    volume INTEGER NOT NULL,
    dir_base INTEGER NOT NULL,
    name TEXT NOT NULL,
    size INTEGER NOT NULL,
    deleted INTEGER NOT NULL,
    deletor_id INTEGER NOT NULL,
    attributes INTEGER NOT NULL,
    owner_id INTEGER NOT NULL,
    created INTEGER,
    archived INTEGER,
    archiver_id INTEGER NOT NULL,
    updated INTEGER,
    updater_id INTEGER NOT NULL,
    accessed INTEGER,
    inherited_mask INTEGER NOT NULL);
  CREATE INDEX deleted_by_directory ON deleted_files(server_id, volume, dir_base, seq);
)sql";
} // namespace nwsim
