// The collation of text keys orders any bytes: the program writes valid UTF-8, but other writers
// and datfix's copies of damaged rows put whatever they hold into the same indexes.
#include "runtime/data/driver.h"
#include "runtime/values/text.h"

#include <QRandomGenerator>
#include <sqlite3.h>

#include <iterator>
#include <vector>

#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::data;

namespace {

class KeyCollation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        registerCollation(db_);
        ASSERT_EQ(sqlite3_prepare_v2(db_, "SELECT CASE WHEN ?1 = ?2 COLLATE TBKTEXT THEN 0 "
                                          "WHEN ?1 < ?2 COLLATE TBKTEXT THEN -1 ELSE 1 END", -1, &order_, nullptr),
                  SQLITE_OK);
    }
    void TearDown() override {
        sqlite3_finalize(order_);
        sqlite3_close(db_);
    }

    // -1, 0 or 1, as SQLite orders the two by the collation.
    int order(const QByteArray &a, const QByteArray &b) {
        sqlite3_bind_text(order_, 1, a.constData(), int(a.size()), SQLITE_STATIC);
        sqlite3_bind_text(order_, 2, b.constData(), int(b.size()), SQLITE_STATIC);
        const int r = sqlite3_step(order_) == SQLITE_ROW ? sqlite3_column_int(order_, 0) : 2;
        sqlite3_reset(order_);
        return r;
    }

    // Short strings of what breaks decoding (stray continuation bytes, truncated, overlong and
    // surrogate sequences, bytes UTF-8 never holds, a byte order mark) among ASCII of both
    // cases and whole characters: short, so that many share a beginning.
    QByteArray anyBytes() {
        static const char *const pieces[] = {
            "a", "A", "b", "_", " ", "\x80", "\xA9", "\xBF", "\xC3", "\xC3\xA9", "\xC3\x89", "\xC0\x80",
            "\xE2\x82", "\xE2\x82\xAC", "\xE0\x80\x80", "\xED\xA0\x80", "\xEF\xBB\xBF", "\xEF\xBF\xBD",
            "\xF0\x9F\x98", "\xF0\x9F\x98\x80", "\xF4\x90\x80\x80", "\xFE", "\xFF"};
        QByteArray s;
        for (int n = int(rng_.bounded(6)); n > 0; --n)
            s += rng_.bounded(10) == 0 ? QByteArray(1, char(rng_.bounded(1, 256)))
                                       : QByteArray(pieces[rng_.bounded(int(std::size(pieces)))]);
        return s;
    }

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *order_ = nullptr;
    QRandomGenerator rng_{20261210};
};

TEST_F(KeyCollation, OrderLawsHoldOnAnyBytes) {
    std::vector<QByteArray> s;
    for (int i = 0; i < 400; ++i)
        s.push_back(anyBytes());
    const size_t n = s.size();
    std::vector<int> o(n * n);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            o[i * n + j] = order(s[i], s[j]);
    int antisymmetry = 0, transitivity = 0;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j) {
            antisymmetry += o[i * n + j] != -o[j * n + i];
            if (o[i * n + j] <= 0)
                for (size_t k = 0; k < n; ++k)
                    transitivity += o[j * n + k] <= 0 && o[i * n + k] > 0;
        }
    EXPECT_EQ(antisymmetry, 0);
    EXPECT_EQ(transitivity, 0);
}

TEST_F(KeyCollation, IndexOnAnyBytesPassesTheIntegrityCheck) {
    ASSERT_EQ(sqlite3_exec(db_, "CREATE TABLE t(k TEXT COLLATE TBKTEXT); CREATE INDEX tk ON t(k)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_stmt *add = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, "INSERT INTO t VALUES(?1)", -1, &add, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int i = 0; i < 20000; ++i) {
        const QByteArray k = anyBytes();
        sqlite3_bind_text(add, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(add), SQLITE_DONE);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    ASSERT_EQ(sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt *check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
}

// Valid text is ordered as before, as the runtime compares texts in memory, a byte order mark
// inside a text included.
TEST_F(KeyCollation, ValidTextKeepsTheRuntimeOrder) {
    const char16_t *const chars[] = {u"a", u"A", u"b", u"z", u"_", u" ", u"é", u"É", u"è", u"Ω", u"ω", u"İ",
                                     u"ı", u"ß", u"ẞ", u"中", u"Ａ", u"ａ", u"\uFFFD", u"\uFEFF", u"😀", u"😁"};
    for (int i = 0; i < 20000; ++i) {
        QString t[2];
        for (QString &s : t)
            for (int n = int(rng_.bounded(6)); n > 0; --n)
                // Unit by unit: Qt's decoders would take a leading U+FEFF for a byte order mark.
                for (const char16_t *c = chars[rng_.bounded(int(std::size(chars)))]; *c; ++c)
                    s += QChar(*c);
        const int c = compareText(t[0], t[1], Qt::CaseInsensitive);
        ASSERT_EQ(order(t[0].toUtf8(), t[1].toUtf8()), c < 0 ? -1 : c > 0 ? 1 : 0)
            << t[0].toStdString() << " / " << t[1].toStdString();
    }
}

} // namespace
