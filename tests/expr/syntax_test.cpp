// Precedence, constants, functions and every kind of faulty text.
#include "runtime/expr/compile.h"

#include <gtest/gtest.h>

namespace tbk::expr {
namespace {

class NoNames : public Resolver {
public:
    std::optional<Binding> resolve(const QString &) const override { return std::nullopt; }
};

Value evaluate(const QString &text) {
    std::optional<Error> error;
    const Expression e = Expression::compile(text, NoNames(), error);
    EXPECT_FALSE(error) << text.toStdString() << ": " << (error ? describe(*error).toStdString() : "");
    return e.evaluate();
}

struct Case {
    const char *text;
    Value expected;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.text; }

class Evaluates : public testing::TestWithParam<Case> {};

TEST_P(Evaluates, ToExpectedValue) {
    const Case &c = GetParam();
    const Value v = evaluate(QString::fromUtf8(c.text));
    EXPECT_EQ(v.type(), c.expected.type()) << c.text;
    EXPECT_EQ(v.text(), c.expected.text()) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Precedence, Evaluates, testing::Values(
    Case{"1 + 2 * 3", 7}, Case{"(1 + 2) * 3", 9}, Case{"10 - 4 - 3", 3}, Case{"2 * -3", -6},
    Case{"-2 * 3", -6}, Case{"7 % 4", 3}, Case{"7 / 2", 3.5}, Case{"1 / 0", 0}, Case{"5 % 0", 0},
    Case{"1 = 1 OR 1 = 2 AND 1 = 2", 1}, Case{"(1 = 1 OR 1 = 2) AND 1 = 2", 0},
    Case{"NOT 1 = 2", 1}, Case{"NOT 0 AND 0", 0}, Case{"~(1 = 1)", 0}, Case{"not not 3", 1},
    Case{"'a' & 'b' = 'ab'", 1}, Case{"'x' & 1 + 2", "x3"}, Case{"1 & 2 * 3", "16"},
    Case{"3 ~= 4", 1}, Case{"3 ~< 4", 0}, Case{"3 ~> 4", 1}, Case{"4 =< 4", 1},
    Case{"4 => 5", 0}, Case{"4 <> 4", 0}, Case{"1 < 2 = 1", 1}, Case{"2.50 * 2", 5},
    Case{".5 + 1", 1.5}, Case{"1 aNd 2 Or 0", 1}));

INSTANTIATE_TEST_SUITE_P(Comparisons, Evaluates, testing::Values(
    Case{"'abc' = 'abc   '", 1}, Case{"'abc' = 'ABC'", 0}, Case{"UPPER('abc') = 'ABC'", 1},
    Case{"'  abc' = 'abc'", 0}, Case{"'10' < '9'", 1}, Case{"10 < '9'", 0},
    Case{"120 = ' 120 '", 1}, Case{"120 = '120.0'", 1}, Case{"'1e2' = 100", 1},
    Case{"5 < 'abc'", 1}, Case{"0 = ''", 0}, Case{"'' = '   '", 1}, Case{"'É' > 'Z'", 1},
    Case{"'O''Connor' = 'O' & '''' & 'Connor'", 1}, Case{"'a''' = 'a'", 0},
    Case{"'日本' < '日本語'", 1}, Case{"'\xF0\x9F\x98\x80' > '\xEF\xBC\xA1'", 1}));

INSTANTIATE_TEST_SUITE_P(Functions, Evaluates, testing::Values(
    Case{"UPPER('straße')", "STRASSE"}, Case{"upper('abc')", "ABC"}, Case{"LOWER('ÆON')", "æon"},
    Case{"CLIP('ab  ')", "ab"}, Case{"CLIP('  ab')", "  ab"}, Case{"LEN('ab  ')", 4},
    Case{"LEN(CLIP('ab  '))", 2}, Case{"LEN('日本語')", 3}, Case{"LEN('\xF0\x9F\x98\x80' & 'a')", 2},
    Case{"LEN(120)", 3}, Case{"SUB('abcdef', 2, 3)", "bcd"}, Case{"SUB('abcdef', -3, 2)", "de"},
    Case{"SUB('abc', 5, 2)", ""}, Case{"SUB('abc', 0, 2)", "a"}, Case{"SUB('abc', 2, 100)", "bc"},
    Case{"SUB('abc', 2, -1)", ""}, Case{"SUB('a\xF0\x9F\x98\x80" "b', 2, 1)", "\xF0\x9F\x98\x80"},
    Case{"INSTRING('cd', 'abcdef')", 3}, Case{"INSTRING('cd', 'abcdef', 1, 4)", 0},
    Case{"INSTRING('', 'abc')", 0}, Case{"INSTRING('ab', 'xaab', 2, 1)", 2},
    Case{"INSTRING('ab', 'xaab', 1, 1)", 3}, Case{"INSTRING('Z', 'abc', 1, 1)", 0},
    Case{"INSTRING('b', 'abc', 0, 1)", 0}, Case{"ABS(-3.5)", 3.5}, Case{"ABS('-2')", 2},
    Case{"SUB(UPPER('Dancing Queen'), 1, 5) = 'DANCE'", 0},
    Case{"INSTRING('QUEEN', UPPER('Dancing Queen'), 1, 1) > 0", 1}));

struct BadCase {
    QString text;
    const char *message;
    int position;
};

void PrintTo(const BadCase &c, std::ostream *os) { *os << c.text.left(40).toStdString(); }

class Refuses : public testing::TestWithParam<BadCase> {};

TEST_P(Refuses, WithClearError) {
    const BadCase &c = GetParam();
    std::optional<Error> error;
    const Expression e = Expression::compile(c.text, NoNames(), error);
    ASSERT_TRUE(error) << c.text.toStdString();
    EXPECT_TRUE(error->message.contains(QLatin1String(c.message)))
        << error->message.toStdString() << " for " << c.text.left(60).toStdString();
    if (c.position >= 0) {
        EXPECT_EQ(error->position, c.position) << c.text.left(60).toStdString();
    }
    EXPECT_TRUE(e.isEmpty());
}

QString repeat(const char *s, int n) {
    return QString::fromUtf8(s).repeated(n);
}

INSTANTIATE_TEST_SUITE_P(BadInput, Refuses, testing::Values(
    BadCase{"(1 = 1", "closing parenthesis is missing", 6},
    BadCase{"1 = 1)", "has no opening", 5},
    BadCase{"UPPER('a'", "closing parenthesis is missing", 9},
    BadCase{"'abc", "not closed", 0},
    BadCase{"'it''s", "not closed", 0},
    BadCase{"FOO(1)", "Unknown function FOO", 0},
    BadCase{"SUB('a')", "SUB takes 3 arguments", 0},
    BadCase{"INSTRING('a')", "INSTRING takes 2 to 4 arguments", 0},
    BadCase{"1 +", "ends too early", 3},
    BadCase{"1 2", "operator is expected", 2},
    BadCase{"()", "value or name is expected", 1},
    BadCase{"1 = = 2", "value or name is expected", 4},
    BadCase{"Ärtist = 1", "Unexpected character", 0},
    BadCase{"1 # 2", "Unexpected character '#'", 2},
    BadCase{QString("1 = 1") + QChar(0x7), "Unexpected character U+0007", 5},
    BadCase{"MUS:Artist = \xF0\x9F\x8E\xB5", "Unexpected character U+D83C", 13},
    BadCase{"12abc = 1", "number runs into a name", 0},
    BadCase{"NoSuch = 1", "Unknown name NoSuch", 0},
    BadCase{"1 = 1 AND brw1::sort3 = 2", "Unknown name brw1::sort3", 10},
    BadCase{repeat("1+", 2100) + "1", "longer than 4096 characters", -1},
    BadCase{repeat("(", 70) + "1" + repeat(")", 70), "nested too deeply", -1},
    BadCase{repeat("NOT ", 70) + "1", "nested too deeply", -1},
    BadCase{repeat("-", 70) + "1", "nested too deeply", -1},
    BadCase{repeat("UPPER(", 70) + "'a'" + repeat(")", 70), "nested too deeply", -1},
    BadCase{"1" + repeat("+1", 500), "nested too deeply", -1},
    BadCase{"1" + repeat(" AND 1", 500), "nested too deeply", -1}));

TEST(Syntax, LongChainsWithinBoundsEvaluate) {
    EXPECT_EQ(evaluate("1" + repeat("+1", 300)).number(), 301);
    EXPECT_EQ(evaluate(repeat("(", 40) + "2" + repeat(")", 40)).number(), 2);
}

TEST(Syntax, BlankTextIsNoFilterAndDescribeCountsFromOne) {
    std::optional<Error> error;
    const Expression e = Expression::compile("   ", NoNames(), error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(e.isEmpty());
    EXPECT_TRUE(e.matches());
    EXPECT_TRUE(parseExpression("").error);
    EXPECT_EQ(describe(Error{"Unknown name X", 4}), "Unknown name X (at character 5)");
}

TEST(Syntax, OrderTermsAndTheirErrors) {
    ParsedOrder o = parseOrder("UPPER(MUS:Artist), -MUS:Title, +MUS:BPM");
    ASSERT_FALSE(o.error);
    ASSERT_EQ(o.terms.size(), 3u);
    EXPECT_FALSE(o.terms[0].descending);
    EXPECT_EQ(o.terms[0].expr->kind, Node::Call);
    EXPECT_TRUE(o.terms[1].descending);
    EXPECT_EQ(o.terms[1].expr->text, "MUS:Title");
    EXPECT_FALSE(o.terms[2].descending);

    for (const char *bad : {"UPPER(MUS:Artist", "MUS:Artist,,MUS:Title", "MUS:Artist MUS:Title",
                            "-", "MUS:Artist,"}) {
        o = parseOrder(QString::fromUtf8(bad));
        EXPECT_TRUE(o.error) << bad;
        EXPECT_TRUE(o.terms.empty()) << bad;
    }
}

} // namespace
} // namespace tbk::expr
