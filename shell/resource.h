// Resource identifiers of the launcher.
#ifndef SHELL_RESOURCE_H
#define SHELL_RESOURCE_H

#define IDC_STATUS_TEXT 104
#define IDC_PROGRESS_BAR 105

#endif
