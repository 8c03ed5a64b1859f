// Resource identifiers of tsly.exe.
#pragma once

#define IDI_PROGRAM 1
#define IDB_TOOLIMAGES 100
