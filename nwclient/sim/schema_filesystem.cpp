// Schema of what a NetWare volume keeps about its entries beyond the files on disk (step 4 of
// the store's schema): attributes, owners, dates, inherited rights masks, space limits and
// trustees. Paths are keys below the volume's root: upper case, "\"-separated, "" for the root.
namespace nwsim {
extern const char* const schemaFileSystem;
const char* const schemaFileSystem = R"sql(
  -- An entry has a row once something was set for it; a missing row means the defaults
  -- (no attributes, no owner, dates of the file on disk, every right inherited, no limit).
  CREATE TABLE fs_entries(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    attributes INTEGER NOT NULL DEFAULT 0,
    owner_id INTEGER NOT NULL DEFAULT 0,
    created INTEGER,            -- seconds since 1970, NULL: the time of the file on disk
    archived INTEGER,
    archiver_id INTEGER NOT NULL DEFAULT 0,
    updated INTEGER,
    updater_id INTEGER NOT NULL DEFAULT 0,
    accessed INTEGER,
    inherited_mask INTEGER NOT NULL DEFAULT 511,
    max_space INTEGER NOT NULL DEFAULT 0,   -- in 4 KB blocks, 0: no limit
    PRIMARY KEY(server_id, volume, path)) WITHOUT ROWID;

  -- Trustee assignments of directories and files: an object's rights at a path.
  CREATE TABLE trustees(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    object_id INTEGER NOT NULL,
    rights INTEGER NOT NULL,
    PRIMARY KEY(server_id, volume, path, object_id)) WITHOUT ROWID;
  CREATE INDEX trustees_by_object ON trustees(server_id, object_id, volume, path);
)sql";
} // namespace nwsim
