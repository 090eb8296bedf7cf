#pragma once
// Shared pieces of the song subsystem's tests: the catalogue fixture, windows called on their
// own logical threads and the user's moves on them.
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/controltesting.h"

#include <QWidget>

namespace songtest {

using namespace cataloguetest;

using SongTest = CatalogueTest;

} // namespace songtest
