// Schema of volumes, files, server consoles, modules and open files (step 3 of the store's
// schema).
namespace nwsim {
extern const char* const schemaServers;
const char* const schemaServers = R"sql(
  -- Passwords are kept only as "salt:hash" (hex); NULL = the object has no password.
  ALTER TABLE bindery_objects ADD COLUMN password_hash TEXT;
  -- Scans by type walk object IDs of one type in order.
  CREATE INDEX bindery_objects_by_type ON bindery_objects(server_id, type, object_id);

  CREATE TABLE volumes(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    number INTEGER NOT NULL,
    name TEXT NOT NULL,
    mounted INTEGER NOT NULL DEFAULT 1,
    PRIMARY KEY(server_id, number),
    UNIQUE(server_id, name));

  -- Directory handles of a connection: a volume and a directory below its root.
  CREATE TABLE dir_handles(
    conn_id INTEGER NOT NULL,
    handle INTEGER NOT NULL,
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    PRIMARY KEY(conn_id, handle));

  -- The drive table of each workstation: a drive's base on a connection's server.
  CREATE TABLE drives(
    workstation TEXT NOT NULL,
    drive INTEGER NOT NULL,
    conn_id INTEGER NOT NULL,
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    PRIMARY KEY(workstation, drive));

  -- Files programs hold open through the redirector, per process (pid and its start time,
  -- so that a reused pid is not taken for the program that ended).
  CREATE TABLE open_files(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    pid INTEGER NOT NULL,
    pid_start TEXT NOT NULL,
    local_handle INTEGER NOT NULL,
    conn_id INTEGER NOT NULL,
    server_id INTEGER NOT NULL,
    conn_number INTEGER NOT NULL,
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    access INTEGER NOT NULL,
    opened INTEGER NOT NULL);
  CREATE INDEX open_files_by_station ON open_files(server_id, conn_number, id);
  CREATE INDEX open_files_by_file ON open_files(server_id, volume, path);
  CREATE INDEX open_files_by_handle ON open_files(pid, local_handle);

  -- Running statistics of each server.
  CREATE TABLE server_stats(
    server_id INTEGER PRIMARY KEY REFERENCES servers(id),
    up_since_ms INTEGER NOT NULL,
    packets_base INTEGER NOT NULL DEFAULT 0,
    peak_conns INTEGER NOT NULL DEFAULT 0,
    files_opened INTEGER NOT NULL DEFAULT 0,
    peak_open_files INTEGER NOT NULL DEFAULT 0,
    sample_ms INTEGER NOT NULL DEFAULT 0,
    sample_packets INTEGER NOT NULL DEFAULT 0,
    utilization INTEGER NOT NULL DEFAULT 1);

  -- Loaded modules; numbers stay with a module while it is loaded.
  CREATE TABLE nlms(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    number INTEGER NOT NULL,
    file_name TEXT NOT NULL,
    name TEXT NOT NULL,
    notice TEXT NOT NULL DEFAULT '',
    ver_major INTEGER NOT NULL DEFAULT 1,
    ver_minor INTEGER NOT NULL DEFAULT 0,
    ver_revision INTEGER NOT NULL DEFAULT 0,
    year INTEGER NOT NULL DEFAULT 1996,
    month INTEGER NOT NULL DEFAULT 1,
    day INTEGER NOT NULL DEFAULT 1,
    flags INTEGER NOT NULL DEFAULT 0,
    type INTEGER NOT NULL DEFAULT 0,
    parent INTEGER NOT NULL DEFAULT 0,
    alloc_bytes INTEGER NOT NULL DEFAULT 0,
    alloc_free INTEGER NOT NULL DEFAULT 0,
    language INTEGER NOT NULL DEFAULT 4,
    publics INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY(server_id, number),
    UNIQUE(server_id, file_name));

  -- Console parameters (SET): a number within its range, or a string.
  CREATE TABLE server_settings(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    name TEXT NOT NULL,
    is_string INTEGER NOT NULL,
    int_value INTEGER NOT NULL DEFAULT 0,
    str_value TEXT NOT NULL DEFAULT '',
    min_value INTEGER NOT NULL DEFAULT 0,
    max_value INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY(server_id, name));
)sql";
} // namespace nwsim
