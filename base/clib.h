// Temporary: the helpers that were gathered here live in headers of their
// own now (fexists, filecopy, deltree, curdir, searchpath, jvmhome,
// versionsplit, winerror). install/ still includes this header; it goes
// once install/ includes what it uses.
#ifndef BASE_CLIB_H
#define BASE_CLIB_H

#include "base/curdir.h"
#include "base/deltree.h"
#include "base/fexists.h"
#include "base/filecopy.h"
#include "base/jvmhome.h"
#include "base/searchpath.h"
#include "base/versionsplit.h"
#include "base/winerror.h"

#endif
