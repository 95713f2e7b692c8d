/*
 * NetWare paths, volumes by name and number, the drive table, server-side file copy and open
 * files (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 */
#ifndef NWCLIENT_PATHS_H
#define NWCLIENT_PATHS_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif
