#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Sets the process up as the program does at its start (its heap on large pages); first in main.
void QuiboBenchStartUp(void);

#ifdef __cplusplus
}
#endif
