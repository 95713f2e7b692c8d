// Schema of what stations exchange and hold on a server (step 8 of the store's schema):
// broadcast mailboxes, the console log, semaphores and TTS transactions.
namespace nwsim {
extern const char* const schemaStations;
const char* const schemaStations = R"sql(
  -- Messages waiting in the mailbox of a station (its connection), oldest first.
  CREATE TABLE broadcast_messages(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    conn_id INTEGER NOT NULL,
    text TEXT NOT NULL);
  CREATE INDEX broadcast_messages_by_conn ON broadcast_messages(conn_id, id);

  -- What stations wrote to each server's console, oldest first.
  CREATE TABLE console_log(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    server_id INTEGER NOT NULL REFERENCES servers(id),
    sent INTEGER NOT NULL,
    conn_number INTEGER NOT NULL,
    text TEXT NOT NULL);
  CREATE INDEX console_log_by_server ON console_log(server_id, id);

  -- Semaphores of each server and the opens programs hold on them (pid and its start
  -- time, so that the opens of a program that ended are dropped).
  CREATE TABLE semaphores(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    server_id INTEGER NOT NULL REFERENCES servers(id),
    name TEXT NOT NULL,
    value INTEGER NOT NULL,
    UNIQUE(server_id, name));
  CREATE TABLE semaphore_opens(
    handle INTEGER PRIMARY KEY AUTOINCREMENT,
    semaphore_id INTEGER NOT NULL REFERENCES semaphores(id),
    conn_id INTEGER NOT NULL,
    pid INTEGER NOT NULL,
    pid_start TEXT NOT NULL);
  CREATE INDEX semaphore_opens_by_semaphore ON semaphore_opens(semaphore_id);

  -- TTS of each server (no row: enabled, no transaction numbered yet), the transaction
  -- running on a connection, and the files as they were before it first reached them
  -- (existed 0: the file was not there).
  CREATE TABLE tts_servers(
    server_id INTEGER PRIMARY KEY REFERENCES servers(id),
    enabled INTEGER NOT NULL DEFAULT 1,
    last_transaction INTEGER NOT NULL DEFAULT 0);
  CREATE TABLE tts_transactions(
    conn_id INTEGER PRIMARY KEY,
    server_id INTEGER NOT NULL);
  CREATE TABLE tts_backups(
    conn_id INTEGER NOT NULL,
    volume INTEGER NOT NULL,
    path TEXT NOT NULL,
    existed INTEGER NOT NULL,
    data BLOB,
    PRIMARY KEY(conn_id, volume, path));
)sql";
} // namespace nwsim
