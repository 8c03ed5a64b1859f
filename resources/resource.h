// Resource identifiers of tsly.exe, shared by the main window and the
// dialogs; the pictures they name sit beside this file.
#pragma once

#define IDI_PROGRAM 1
#define IDB_TOOLIMAGES 100     // six 16x16 pictures
#define IDB_TOOLIMAGES_24 101  // the same, drawn at 24x24
#define IDB_TOOLIMAGES_32 102  // and at 32x32
// Flat-button pictures: 16x16, the normal one first, then the greyed one;
// the same drawn at 24x24 and 32x32 under the id plus these.
#define IDB_GLYPH_24 100
#define IDB_GLYPH_32 200
#define IDB_GLYPH_CANCEL 110    // a red check mark
#define IDB_GLYPH_NOTEPAD 111   // a small notepad
#define IDB_GLYPH_DOCUMENT 112  // a document
#define IDB_GLYPH_HOUSE 113     // a house (one picture)
