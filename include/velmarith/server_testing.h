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

/* The window a script acts on, valid while the script runs. */
typedef struct VelmarithDriver VelmarithDriver;
/* A script for one window; it returns 0, or another value when it failed (the desktop then
 * reports the window's script as failed). */
typedef int32_t (*VelmarithScript)(VelmarithDriver *driver, void *context);
/* The next modal window, by form class or caption, runs `script` (NULL: none; the window is
 * then closed with its close box, as after any script that leaves it open). */
VELMARITH_API HRESULT VelmarithTestDesktopExpectScript(const char *window, VelmarithScript script, void *context);
/* One action of the C++ FormDriver, by its name, on `control` (UTF-8; NULL where the action
 * takes none) with `argument` (UTF-8 text or a decimal number; NULL where it takes none):
 * formClass, caption, controlNames, exists, isVisible, isEnabled, text, toolTip, items, value,
 * activeControl, setText, pick, setValue, click, clickItem, doubleClickItem, clickColumn,
 * doubleClickNode, selectNode, focus, pressKey ("code" or "code shift"), close. A reading
 * comes back in `result` (the caller frees it; lists one entry a line, flags "1" or "0"), which
 * may be NULL. DISP_E_EXCEPTION with the reason in VelmarithGetLastException when the action
 * fails, DISP_E_MEMBERNOTFOUND for another name. */
VELMARITH_API HRESULT VelmarithDriverAct(VelmarithDriver *driver, const char *action, const char *control,
                                         const char *argument, BSTR *result);
/* Queues the answer to the next message box: 0 OK, 1 Yes, 2 No. */
VELMARITH_API HRESULT VelmarithTestDesktopAnswer(int32_t answer);
/* What the desktop saw, as JSON in a BSTR the caller frees: {"messages": [{"text", "title",
 * "icon", "buttons", "answer"}], "modals": [{"formClass", "caption"}], "beeps": n}, the enums as
 * their numbers in velmarith/MessageBox.h. */
VELMARITH_API HRESULT VelmarithTestDesktopRecords(BSTR *records);
/* Each problem (an unexpected window, an unanswered message, a failed script) goes to
 * `handler` with its UTF-8 text as it happens, instead of waiting for Remove; NULL restores
 * that. */
typedef void (*VelmarithFailureHandler)(const char *problem, void *context);
VELMARITH_API HRESULT VelmarithTestDesktopSetFailureHandler(VelmarithFailureHandler handler, void *context);
/* Reports the scripts and answers never used, as problems. */
VELMARITH_API HRESULT VelmarithTestDesktopVerify(void);

#ifdef __cplusplus
}
#endif

#endif
