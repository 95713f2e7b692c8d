/*
 * Directory services (NETWIN32.DLL) and locale and Unicode tables (LOCWIN32.DLL).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 */
#ifndef NWCLIENT_DIRECTORY_H
#define NWCLIENT_DIRECTORY_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif
