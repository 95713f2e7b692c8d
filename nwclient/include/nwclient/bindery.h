/*
 * Bindery objects, properties, set membership and passwords (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 */
#ifndef NWCLIENT_BINDERY_H
#define NWCLIENT_BINDERY_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif
