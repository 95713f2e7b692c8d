// Print queues of a server entry of a seed, with their users, operators, servers and jobs:
//
//   "queues": [ { "name": "LASER", "id": "05000001", "users": ["EVERYONE"], "operators": ["MJONES"],
//                 "servers": ["PS1"],
//                 "jobs": [ { "owner": "JSMITH", "station": 5, "description": "Budget", "form": "PLAIN",
//                             "content": "the bytes to print", "hold": "user" | "operator",
//                             "servicedBy": "PS1", "entered": "2026-12-01 09:00:00" } ] } ]
//
// A queue that is not among the server's objects is added; its directory is made on SYS.
#include "seed.h"

#include "print_queues.h"

#include <cstring>

namespace nwsim {

namespace {
constexpr std::uint16_t kPrintQueue = 0x0300;
std::uint32_t wireId(std::uint32_t id) { return __builtin_bswap32(id); }
} // namespace

void SeedLoader::printQueues(std::int64_t serverId, const std::string& serverName, const Value& server) {
  const Value* queues = server.find("queues");
  if (!queues) return;
  Bindery bindery(db_, serverId);
  const std::filesystem::path networkDir =
      std::filesystem::path(sqlite3_db_filename(db_.handle(), "main")).parent_path();
  PrintQueues print(db_, networkDir, serverId, serverName);
  auto member = [&](const Value& n, const std::string& queue) {
    const std::string name = objectName(n, "a queue member");
    auto id = lookup(serverId, name);
    if (!id) fail(n, name + " of queue " + queue + " is not an object of " + serverName);
    return *id;
  };

  for (const Value& q : queues->asArray("\"queues\"")) {
    if (!q.isObject()) fail(q, "a queue must be an object");
    const std::string name = objectName(required(q, "name", "a queue"), "a queue name");
    std::uint32_t id = 0;
    if (auto existing = bindery.find(name, kPrintQueue)) {
      id = existing->id;
    } else if (const Value* given = q.find("id")) {
      id = hex32(*given, "a queue ID");
      if (bindery.byId(id)) fail(*given, "the ID of queue " + name + " is taken");
      db_.prepare("INSERT INTO bindery_objects(server_id, object_id, name, type, flags, security) VALUES(?,?,?,?,0,49)")
          .with(serverId, static_cast<std::int64_t>(id), name, kPrintQueue).run();
    } else {
      id = bindery.addObject(name, kPrintQueue);
    }
    const auto dir = print.directory(id);
    if (dir.empty()) fail(q, "queue " + name + " needs a volume SYS on " + serverName);
    for (const char* set : {"Q_USERS", "Q_OPERATORS", "Q_SERVERS"}) property(serverId, id, set, 0x02, 0x31);
    for (const auto& [key, set] : {std::pair{"users", "Q_USERS"}, {"operators", "Q_OPERATORS"}, {"servers", "Q_SERVERS"}}) {
      bindery.writeSet(id, set, {});
      if (const Value* names = q.find(key))
        for (const Value& n : names->asArray(key)) bindery.addToSet(id, set, member(n, name));
    }
    std::vector<std::uint8_t> directory(128, 0);
    const std::string path = "SYS:SYSTEM\\" + PrintQueues::directoryName(id);
    std::copy(path.begin(), path.end(), directory.begin());
    property(serverId, id, "Q_DIRECTORY", 0x00, 0x31);
    segment(serverId, id, "Q_DIRECTORY", 1, directory);

    const Value* jobs = q.find("jobs");
    if (!jobs) continue;
    if (jobs->asArray("\"jobs\"").size() > NW_MAX_QUEUE_JOBS) fail(*jobs, "a queue holds at most 250 jobs");
    for (const Value& j : jobs->asArray("\"jobs\"")) {
      if (!j.isObject()) fail(j, "a job must be an object");
      NWQueueJobStruct e{};
      const std::uint32_t owner = member(required(j, "owner", "a job"), name);
      e.clientStation = static_cast<nuint32>(integer(j, "station", 1));
      e.targetServerID = 0xFFFFFFFFu;
      std::memset(e.targetExecTime, 0xFF, sizeof e.targetExecTime);
      LocalSeconds entered = localNow();
      if (const Value* t = j.find("entered")) {
        auto parsed = parseLocalTime(t->asString("\"entered\""));
        if (!parsed) fail(*t, "an entry time is \"yyyy-mm-dd hh:mm:ss\"");
        entered = *parsed;
      }
      std::time_t tt = static_cast<std::time_t>(entered);
      std::tm tm{};
      gmtime_r(&tt, &tm);
      const int parts[6] = {tm.tm_year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
      for (int i = 0; i < 6; ++i) e.jobEntryTime[i] = static_cast<nuint8>(parts[i]);
      e.jobControlFlags = QF_AUTO_START;
      if (const Value* hold = j.find("hold")) {
        const std::string& h = hold->asString("\"hold\"");
        if (h == "user") e.jobControlFlags |= QF_USER_HOLD;
        else if (h == "operator") e.jobControlFlags |= QF_OPERATOR_HOLD;
        else fail(*hold, "a hold is \"user\" or \"operator\"");
      }
      if (const Value* by = j.find("servicedBy")) e.servicingServerID = wireId(member(*by, name));
      const std::string description = str(j, "description");
      if (description.size() > 49) fail(j, "a job description has at most 49 characters");
      std::memcpy(e.jobDescription, description.data(), description.size());
      const std::string form = upper(str(j, "form"));
      if (form.size() > 12) fail(j, "a form name has at most 12 characters");
      std::memcpy(e.clientRecordArea + 10, form.data(), form.size());
      e.clientRecordArea[3] = 1;  // one copy
      print.add(id, e, owner, str(j, "content"));
    }
  }
}

} // namespace nwsim
