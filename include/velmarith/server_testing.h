/*
 * A scripted desktop for tests of hosts in other languages: instead of waiting for a person,
 * each expected window is acted on by a few lines of actions, so a test can call InputAny or
 * SearchAny through the C interface without a display. Not for production hosts.
 */
#ifndef VELMARITH_SERVER_TESTING_H
#define VELMARITH_SERVER_TESTING_H

#include <velmarith/server.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Installs the scripted desktop; E_UNEXPECTED when one is installed already. */
VELMARITH_API HRESULT VelmarithTestDesktopInstall(void);

/* The next modal window, named by its form class ("frmInputAny") or caption, runs `actions`:
 * UTF-8 lines of "type <control> <text>", "click <control>", "item <list> <position from 1>",
 * "key <code>" (13 Enter, 27 Escape) or "close". A window still open after the last line is closed with its close box. */
VELMARITH_API HRESULT VelmarithTestDesktopExpect(const char *window, const char *actions);

/* Removes the desktop: S_OK when every window came as expected and every action worked, else
 * E_FAIL, with the problems in VelmarithGetLastException's description. */
VELMARITH_API HRESULT VelmarithTestDesktopRemove(void);

#ifdef __cplusplus
}
#endif

#endif
