// Schema of volumes, files, server consoles, modules and open files (step 3 of the store's
// schema).
namespace nwsim {
extern const char* const schemaServers;
const char* const schemaServers = R"sql(
  SELECT 1;
)sql";
} // namespace nwsim
