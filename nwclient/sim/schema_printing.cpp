// Schema of print queue jobs, printer captures and banner names (a step of the store's
// schema).
namespace nwsim {
extern const char* const schemaPrinting;
const char* const schemaPrinting = R"sql(
  -- Jobs of the print queues: the entry as the client last wrote it (the server's fields
  -- filled in), the owner, and the job's rank in its queue (1 = next).
  CREATE TABLE queue_jobs(
    server_id INTEGER NOT NULL REFERENCES servers(id),
    queue_id INTEGER NOT NULL,
    job_number INTEGER NOT NULL,
    position INTEGER NOT NULL,
    owner_id INTEGER NOT NULL,
    entry BLOB NOT NULL,
    PRIMARY KEY(server_id, queue_id, job_number));
  CREATE INDEX queue_jobs_by_position ON queue_jobs(server_id, queue_id, position);

  -- Printer ports of each workstation captured to a queue, with the capture's settings.
  CREATE TABLE captures(
    workstation TEXT NOT NULL,
    device INTEGER NOT NULL,
    conn_id INTEGER NOT NULL,
    server_id INTEGER NOT NULL,
    queue_id INTEGER NOT NULL,
    flags BLOB NOT NULL,
    PRIMARY KEY(workstation, device));

  -- The banner user name a workstation set; without a row it is the name logged in.
  CREATE TABLE banner_names(
    workstation TEXT PRIMARY KEY,
    name TEXT NOT NULL);
)sql";
} // namespace nwsim
