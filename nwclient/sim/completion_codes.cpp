#include "nwsim/completion_codes.h"

#include <nwclient/nwclient.h>
#include <nwclient/bindery.h>
#include <nwclient/directory.h>
#include <nwclient/paths.h>
#include <nwclient/print.h>
#include <nwclient/semaphores.h>
#include <nwclient/server.h>
#include <nwclient/trustees.h>
#include <nwclient/volumes.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace nwsim {
namespace {

struct Meaning {
  std::int32_t code;
  const char* text;
};

// One line a value. Where NetWare gives one value several meanings (0x89FF is "failure"
// and "no such file"), the line names them all.
constexpr Meaning kMeanings[] = {
    {NWE_ALREADY_ATTACHED, "already attached"},
    {NWE_INVALID_CONNECTION, "no such connection"},
    {NWE_NO_MORE_ENTRIES, "no more entries"},
    {NWE_BUFFER_TOO_SMALL, "buffer too small"},
    {NWE_NOT_LOGGED_IN, "not logged in"},
    {NWE_NOT_SAME_CONNECTION, "not the same server"},
    {NWE_INVALID_DRIVE, "drive not mapped"},
    {NWE_NOT_CAPTURED, "printer port not captured"},
    {NWE_INVALID_PARAMETER, "invalid parameter"},
    {NWE_INFO_TYPE_UNKNOWN, "unknown information type"},
    {NWE_SERVER_NOT_FOUND, "no such server"},
    {NWE_NO_PRIMARY_CONNECTION, "no primary connection"},
    {NWE_NETWORK_UNAVAILABLE, "network not available"},
    {NWE_REQUESTER_FAILURE, "requester failure"},
    {NWE_SEMAPHORE_OVERFLOW, "not enough space under a limit or restriction, or a semaphore overflow"},
    {NWE_SERVER_DOWN, "server down"},
    {NWE_NO_CREATE_PRIVILEGE, "no create right"},
    {NWE_INVALID_FILE_HANDLE, "invalid file handle"},
    {NWE_NO_DELETE_PRIVILEGE, "no erase right"},
    {NWE_NO_SET_PRIVILEGE, "no modify or access control right"},
    {NWE_NAME_EXISTS, "name already in use"},
    {NWE_NO_READ_PRIVILEGE, "no read right"},
    {NWE_ACCESS_DENIED, "access denied"},
    {NWE_VOLUME_DOES_NOT_EXIST, "no such volume"},
    {NWE_BAD_DIRECTORY_HANDLE, "bad directory handle"},
    {NWE_INVALID_PATH, "invalid path"},
    {NWE_NO_MORE_DIR_HANDLES, "no more directory handles"},
    {NWE_NLM_NOT_LOADED, "module not loaded"},
    {NWE_NLM_ALREADY_LOADED, "module already loaded"},
    {NWE_NLM_FILE_NOT_FOUND, "no such module file"},
    {NWE_UNKNOWN_COMMAND, "unknown console command"},
    {NWE_NO_SUCH_PARAMETER, "no such server parameter"},
    {NWE_BAD_PARAMETER_VALUE, "bad parameter value"},
    {NWE_NO_ACCOUNT_BALANCE, "no account balance"},
    {NWE_LOGIN_DISABLED, "logins disabled"},
    {NWE_NO_CONSOLE_RIGHTS, "no console operator rights"},
    {NWE_NO_QUEUE_RIGHTS, "not a user of the queue"},
    {NWE_QUEUE_FULL, "queue full"},
    {NWE_NO_QUEUE_JOB, "no such job"},
    {NWE_NO_JOB_RIGHTS, "no rights to the job"},
    {NWE_PASSWORD_EXPIRED, "password expired"},
    {NWE_NOT_ITEM_PROPERTY, "not an item property"},
    {NWE_MEMBER_ALREADY_EXISTS, "member already exists"},
    {NWE_NO_SUCH_MEMBER, "no such member"},
    {NWE_NOT_SET_PROPERTY, "not a set property"},
    {NWE_NO_SUCH_SEGMENT, "no such property segment"},
    {NWE_PROPERTY_ALREADY_EXISTS, "property already exists"},
    {NWE_OBJECT_ALREADY_EXISTS, "object already exists"},
    {NWE_INVALID_NAME, "invalid name"},
    {NWE_WILDCARD_NOT_ALLOWED, "wildcard not allowed"},
    {NWE_INVALID_BINDERY_SECURITY, "invalid bindery security"},
    {NWE_NO_OBJECT_RENAME_PRIVILEGE, "no object rename right"},
    {NWE_NO_OBJECT_DELETE_PRIVILEGE, "no object delete right"},
    {NWE_NO_OBJECT_CREATE_PRIVILEGE, "no object create right"},
    {NWE_NO_PROPERTY_DELETE_PRIVILEGE, "no property delete right"},
    {NWE_NO_PROPERTY_CREATE_PRIVILEGE, "no property create right"},
    {NWE_NO_PROPERTY_WRITE_PRIVILEGE, "no property write right"},
    {NWE_NO_PROPERTY_READ_PRIVILEGE, "no property read right"},
    {NWE_BAD_PASSWORD, "wrong password"},
    {NWE_NO_SUCH_PROPERTY, "no such property"},
    {NWE_NO_SUCH_OBJECT, "no such object"},
    {NWE_BAD_STATION_NUMBER, "bad station number, or TTS disabled"},
    {NWE_TIMEOUT, "no such trustee, or a time-out"},
    {NWE_FAILURE, "failure, or no such file"},
    {NWDSE_INTRUDER_LOCKOUT, "account locked by intruder detection"},
    {NWDSE_ACCOUNT_DISABLED, "account disabled or expired"},
    {NWDSE_NOT_ENOUGH_MEMORY, "not enough memory"},
    {NWDSE_BAD_KEY, "unknown context key"},
    {NWDSE_BAD_CONTEXT, "bad context"},
    {NWDSE_BUFFER_FULL, "buffer full"},
    {NWDSE_LIST_EMPTY, "filter expression empty"},
    {NWDSE_BAD_SYNTAX, "bad syntax"},
    {NWDSE_BUFFER_EMPTY, "buffer empty"},
    {NWDSE_BAD_VERB, "buffer prepared for another request"},
    {NWDSE_EXPECTED_IDENTIFIER, "expected identifier"},
    {NWDSE_EXPECTED_EQUALS, "expected equals"},
    {NWDSE_ATTR_TYPE_EXPECTED, "attribute name expected"},
    {NWDSE_ATTR_TYPE_NOT_EXPECTED, "attribute name not expected"},
    {NWDSE_FILTER_TREE_EMPTY, "filter tree empty"},
    {NWDSE_INVALID_OBJECT_NAME, "invalid object name"},
    {NWDSE_EXPECTED_RDN_DELIMITER, "expected a name delimiter"},
    {NWDSE_TOO_MANY_TOKENS, "too many tokens"},
    {NWDSE_INCONSISTENT_MULTIAVA, "inconsistent multiple values"},
    {NWDSE_COUNTRY_NAME_TOO_LONG, "country name too long"},
    {NWDSE_SYSTEM_ERROR, "system error"},
    {NWDSE_CANT_ADD_ROOT, "cannot add [Root]"},
    {NWDSE_UNABLE_TO_ATTACH, "unable to attach"},
    {NWDSE_INVALID_HANDLE, "invalid handle"},
    {NWDSE_BUFFER_ZERO_LENGTH, "buffer zero length"},
    {NWDSE_INVALID_REPLICA_TYPE, "invalid replica type"},
    {NWDSE_INVALID_ATTR_SYNTAX, "invalid attribute syntax"},
    {NWDSE_INVALID_FILTER_SYNTAX, "invalid filter syntax"},
    {NWDSE_CONTEXT_CREATION, "cannot create a context"},
    {NWDSE_INVALID_UNION_TAG, "invalid value kind"},
    {NWDSE_INVALID_SERVER_RESPONSE, "invalid server response"},
    {NWDSE_NULL_POINTER, "missing argument"},
    {NWDSE_NO_SERVER_FOUND, "no server found"},
    {NWDSE_NO_CONNECTION, "no connection"},
    {NWDSE_RDN_TOO_LONG, "name component too long"},
    {NWDSE_DUPLICATE_TYPE, "duplicate type"},
    {NWDSE_NOT_LOGGED_IN, "not logged in to the directory"},
    {NWDSE_INVALID_PASSWORD_CHARS, "invalid password characters"},
    {NWDSE_FAILED_SERVER_AUTHENT, "server authentication failed"},
    {NWDSE_TRANSPORT, "transport failure"},
    {NWDSE_NO_SUCH_SYNTAX, "no such syntax"},
    {NWDSE_INVALID_DS_NAME, "invalid directory name"},
    {NWDSE_ATTR_NAME_TOO_LONG, "attribute name too long"},
    {NWDSE_INVALID_TDS, "invalid tagged data"},
    {NWDSE_INVALID_DS_VERSION, "invalid directory version"},
    {NWDSE_UNICODE_TRANSLATION, "Unicode translation failed"},
    {NWDSE_SCHEMA_NAME_TOO_LONG, "schema name too long"},
    {NWDSE_UNICODE_FILE_NOT_FOUND, "no Unicode table for the code page"},
    {NWDSE_UNICODE_ALREADY_LOADED, "Unicode tables already loaded"},
    {NWDSE_NOT_CONTEXT_OWNER, "not the context's owner"},
    {NWDSE_ATTEMPT_TO_AUTHENTICATE_0, "authentication with no identity"},
    {NWDSE_NO_WRITABLE_REPLICAS, "no writable replicas"},
    {NWDSE_DN_TOO_LONG, "name too long"},
    {NWDSE_RENAME_NOT_ALLOWED, "rename not allowed"},
    {NWDSE_NO_SUCH_ENTRY, "no such entry"},
    {NWDSE_NO_SUCH_VALUE, "no such value"},
    {NWDSE_NO_SUCH_ATTRIBUTE, "no such attribute"},
    {NWDSE_NO_SUCH_CLASS, "no such class"},
    {NWDSE_NO_SUCH_PARTITION, "no such partition"},
    {NWDSE_ENTRY_ALREADY_EXISTS, "entry already exists"},
    {NWDSE_NOT_EFFECTIVE_CLASS, "not an effective class"},
    {NWDSE_ILLEGAL_ATTRIBUTE, "illegal attribute"},
    {NWDSE_MISSING_MANDATORY, "mandatory attribute missing"},
    {NWDSE_ILLEGAL_DS_NAME, "illegal directory name"},
    {NWDSE_ILLEGAL_CONTAINMENT, "illegal containment"},
    {NWDSE_CANT_HAVE_MULTIPLE_VALUES, "only one value allowed"},
    {NWDSE_SYNTAX_VIOLATION, "syntax violation"},
    {NWDSE_DUPLICATE_VALUE, "duplicate value"},
    {NWDSE_ATTRIBUTE_ALREADY_EXISTS, "attribute already exists"},
    {NWDSE_MAXIMUM_ENTRIES_EXIST, "too many entries"},
    {NWDSE_DATABASE_FORMAT, "bad database format"},
    {NWDSE_INCONSISTENT_DATABASE, "inconsistent database"},
    {NWDSE_INVALID_COMPARISON, "invalid comparison"},
    {NWDSE_COMPARISON_FAILED, "comparison failed"},
    {NWDSE_CANT_REMOVE_NAMING_VALUE, "the naming value cannot be removed"},
    {NWDSE_OBJECT_CLASS_VIOLATION, "object class violation"},
    {NWDSE_ENTRY_IS_NOT_LEAF, "container not empty"},
    {NWDSE_DIFFERENT_TREE, "another tree"},
    {NWDSE_SYSTEM_FAILURE, "system failure"},
    {NWDSE_INVALID_ENTRY_FOR_ROOT, "invalid entry for root"},
    {NWDSE_INVALID_REQUEST, "invalid request"},
    {NWDSE_INVALID_ITERATION, "invalid iteration"},
    {NWDSE_SCHEMA_IS_NONREMOVABLE, "schema item cannot be removed"},
    {NWDSE_SCHEMA_IS_IN_USE, "schema item in use"},
    {NWDSE_CLASS_ALREADY_EXISTS, "class already exists"},
    {NWDSE_BAD_NAMING_ATTRIBUTES, "bad naming attributes"},
    {NWDSE_INSUFFICIENT_BUFFER, "buffer too small"},
    {NWDSE_FAILED_AUTHENTICATION, "wrong password"},
    {NWDSE_NO_ACCESS, "no rights"},
    {NWDSE_NO_SUCH_PARENT, "no such container"},
};

} // namespace

std::string codeMeaning(std::int32_t code) {
  const auto* found = std::find_if(std::begin(kMeanings), std::end(kMeanings), [&](const Meaning& m) { return m.code == code; });
  return found == std::end(kMeanings) ? std::string() : found->text;
}

std::string codeNumber(std::int32_t code) {
  char text[16];
  if (code < 0)
    std::snprintf(text, sizeof text, "%d", code);
  else
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(code));
  return text;
}

std::string describeCode(std::int32_t code) {
  const std::string meaning = codeMeaning(code);
  return (meaning.empty() ? std::string() : meaning + ", ") + "code " + codeNumber(code);
}

} // namespace nwsim
