#pragma once
// A small song browse for the tests of the browse base: four sort orders (artist; media and
// category, each filtered by a reset field; beats per minute, a numeric key), a search button
// that applies `searchFilter`, and a form given by the test.
#include "records/browse.h"

#include <functional>

class QLineEdit;

namespace coretest {

class TestSongBrowse : public tbk::Browse {
public:
    // The form the browse calls: a function run as the called procedure.
    explicit TestSongBrowse(std::function<void()> form);

    QString searchFilter;
    using Browse::list;

    static const QString kFormat;

protected:
    QWidget *buildWindow() override;
};

// Runs the browse on a new logical thread; `browse` points at it while it is open.
int startSongBrowse(TestSongBrowse *&browse, std::function<void()> form);

} // namespace coretest
