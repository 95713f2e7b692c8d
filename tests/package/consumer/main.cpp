// An application built against the installed package: it prints the library's version and
// whether a NetWare client could be loaded.
#include <ostrel/ostrel.h>

#include <iostream>

int main() {
  ostrel::TOstrel client;
  std::cout << ostrel::getOstrelVersion() << "\n" << (ostrel::nwInit() ? "client ok" : "no client") << "\n";
  return 0;
}
