// An application built against the installed package: it prints the library's version,
// whether a NetWare client could be loaded, and the name of its primary server.
#include <ostrel/ostrel.h>

#include <iostream>

int main() {
  ostrel::TOstrel client;
  const bool ok = ostrel::nwInit();
  std::cout << ostrel::getOstrelVersion() << "\n" << (ok ? "client ok" : "no client") << "\n";
  if (!ok) return 1;
  std::cout << "server " << ostrel::getServerName(ostrel::getPrimaryServerID()) << "\n";
  return 0;
}
