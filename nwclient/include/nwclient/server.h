/*
 * Server control and information: connections by name, login and logout, statistics, clock,
 * modules, console commands, volumes mount and dismount, settings (CALWIN32, CLXWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 */
#ifndef NWCLIENT_SERVER_H
#define NWCLIENT_SERVER_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif
