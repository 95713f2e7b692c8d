// Schema of directory connections (step 4 of the store's schema): which connections the
// directory client keeps locked, and the connection each workstation monitors.
namespace nwsim {
extern const char* const schemaDirectoryLogin;
const char* const schemaDirectoryLogin = R"sql(
  ALTER TABLE connections ADD COLUMN ds_locked INTEGER NOT NULL DEFAULT 0;
  ALTER TABLE workstations ADD COLUMN monitored_conn INTEGER NOT NULL DEFAULT 0;
)sql";
} // namespace nwsim
