#include "netcfg.h"

#include "nwsim/nwsim.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nwsim {

namespace {

std::string trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string unquote(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

void override(std::string& field, const char* var) {
  if (const char* v = std::getenv(var); v && *v) field = v;
}

} // namespace

NetCfg NetCfg::read(const std::filesystem::path& file) {
  NetCfg cfg;
  std::ifstream in(file);
  if (!in) return cfg;
  std::string line, section;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    bool indented = std::isspace(static_cast<unsigned char>(line[0]));
    if (!indented) {
      section = upper(t);
      continue;
    }
    auto eq = t.find('=');
    if (eq == std::string::npos)
      throw SimError(file.string() + ":" + std::to_string(lineNo) + ": expected KEY = VALUE");
    std::string key = upper(trim(t.substr(0, eq)));
    std::string value = unquote(trim(t.substr(eq + 1)));
    if (section == "NETWARE DOS REQUESTER") {
      if (key == "PREFERRED SERVER") cfg.preferredServer = upper(value);
      else if (key == "PREFERRED TREE") cfg.preferredTree = upper(value);
      else if (key == "NAME CONTEXT") cfg.nameContext = value;
    } else if (section == "WORKSTATION") {
      if (key == "NAME") cfg.workstation = upper(value);
      else if (key == "LOGIN NAME") cfg.loginName = upper(value);
    }
    // Settings of other sections and unknown keys belong to other software: kept silent.
  }
  return cfg;
}

NetCfg NetCfg::effective(const std::filesystem::path& file) {
  NetCfg cfg = read(file);
  override(cfg.workstation, "NWSIM_WORKSTATION");
  override(cfg.preferredServer, "NWSIM_PREFERRED_SERVER");
  override(cfg.preferredTree, "NWSIM_PREFERRED_TREE");
  override(cfg.nameContext, "NWSIM_NAME_CONTEXT");
  override(cfg.loginName, "NWSIM_LOGIN_NAME");
  cfg.workstation = upper(cfg.workstation);
  cfg.preferredServer = upper(cfg.preferredServer);
  cfg.loginName = upper(cfg.loginName);
  return cfg;
}

std::string NetCfg::text() const {
  std::ostringstream o;
  o << "; Workstation configuration of this simulated network.\n";
  o << "NetWare DOS Requester\n";
  if (!preferredServer.empty()) o << "    PREFERRED SERVER = " << preferredServer << "\n";
  if (!preferredTree.empty()) o << "    PREFERRED TREE = " << preferredTree << "\n";
  if (!nameContext.empty()) o << "    NAME CONTEXT = \"" << nameContext << "\"\n";
  o << "\nWorkstation\n";
  if (!workstation.empty()) o << "    NAME = " << workstation << "\n";
  if (!loginName.empty()) o << "    LOGIN NAME = " << loginName << "\n";
  return o.str();
}

} // namespace nwsim
