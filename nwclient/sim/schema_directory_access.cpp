// Schema of how the directory is reached (step 6 of the store's schema): objects found by
// their parent, so that lists and searches of large containers do not scan every object;
// which connections the directory client keeps locked; the connection each workstation
// monitors.
namespace nwsim {
extern const char* const schemaDirectoryAccess;
const char* const schemaDirectoryAccess = R"sql(
  CREATE INDEX ds_objects_by_parent ON ds_objects(parent, rdn_key);
  ALTER TABLE connections ADD COLUMN ds_locked INTEGER NOT NULL DEFAULT 0;
  ALTER TABLE workstations ADD COLUMN monitored_conn INTEGER NOT NULL DEFAULT 0;
)sql";
} // namespace nwsim
