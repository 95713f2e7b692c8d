// Schema of the directory tree (step 2 of the store's schema).
namespace nwsim {
extern const char* const schemaDirectory;
const char* const schemaDirectory = R"sql(
  SELECT 1;
)sql";
} // namespace nwsim
