// The position language: parsing, stored form and placement arithmetic.

#include "ui/engine/TwPosition.h"

#include <string>

#include "tests/support/GTest.h"

namespace {

Position Parsed(const char* text) {
    Position position;
    ParsePosition(text, position);
    return position;
}

// The rectangle an element with `text` gets inside `inner`, measuring
// `content` when the position does not give the size.
TwRect Place(const char* text, TwRect inner, TwSize content = TwSize{0, 0}) {
    const Position position = Parsed(text);
    const ChildPlacement placement = PlaceInInner(position, inner);
    const TwSize size =
        position.count == 4 ? FourValueSize(position, placement.cx, placement.cy) : content;
    return FinalRect(position, placement, size);
}

std::string Text(const TwRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

} // namespace

TEST(Position, ItemsAreStoredWithTheirCentreAndMinusMarks) {
    const Position position = Parsed("|-40,-0,|5,0");
    ASSERT_EQ(4, position.count);
    EXPECT_TRUE(position.items[0].center);
    EXPECT_TRUE(position.items[0].minus);
    EXPECT_EQ(40, position.items[0].n);
    EXPECT_FALSE(position.items[1].center);
    EXPECT_TRUE(position.items[1].minus);
    EXPECT_EQ(0, position.items[1].n);
    EXPECT_TRUE(position.items[2].center);
    EXPECT_FALSE(position.items[2].minus);
    EXPECT_FALSE(position.items[3].minus);
    EXPECT_EQ("|-40,-0,|5,0", FormatPosition(position));

    // "-|5": minus first, then "|5" reads as no number.
    const Position swapped = Parsed("-|5,1");
    EXPECT_FALSE(swapped.items[0].center);
    EXPECT_TRUE(swapped.items[0].minus);
    EXPECT_EQ(0, swapped.items[0].n);
    // Values past the fourth are ignored.
    EXPECT_EQ(4, Parsed("1,2,3,4,5,6").count);
}

TEST(Position, ResolvingAgainstAnExtent) {
    const Position position = Parsed("7,-7,|7,|-7");
    EXPECT_EQ(7, ResolveItem(position.items[0], 101));
    EXPECT_EQ(94, ResolveItem(position.items[1], 101));
    EXPECT_EQ(57, ResolveItem(position.items[2], 101));
    EXPECT_EQ(43, ResolveItem(position.items[3], 101));
    EXPECT_EQ(0, ResolveItem(Parsed("0,0").items[0], 640));
    EXPECT_EQ(640, ResolveItem(Parsed("-0,0").items[0], 640)); // "-0" is the far edge
}

TEST(Position, PlacementExamples) {
    struct Case {
        const char* pos;
        TwRect inner;
        const char* expected;
    };
    const TwRect main = {0, 0, 640, 410};
    const TwRect body = {0, 0, 380, 170};
    const Case cases[] = {
        {"1,0,-1,-40", main, "(1,0)-(639,370)"},
        {"0,-40,-0,-0", main, "(0,370)-(640,410)"},
        {"0,35,-0,-0", main, "(0,35)-(640,410)"},
        {"100,-38,180,-11", body, "(100,132)-(180,159)"},
        {"-180,-38,-100,-11", body, "(200,132)-(280,159)"},
        {"150,-38,-150,-11", body, "(150,132)-(230,159)"},
        {"|0,|0,|20,|20", TwRect{0, 0, 101, 51}, "(50,25)-(70,45)"},
        {"10,10,5,5", body, "(10,10)-(5,5)"}, // negative size: never hit, never drawn
        {"252,30,280,44", TwRect{20, 40, 660, 450}, "(272,70)-(300,84)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Text(Place(c.pos, c.inner))) << c.pos;
}

TEST(Position, TwoValuesGiveTheCornerAndTheContentGivesTheSize) {
    const TwRect main = {0, 0, 640, 410};
    EXPECT_EQ("(340,5)-(390,25)", Text(Place("-300,5", main, TwSize{50, 20})));
    // The close button: 20 left of the right edge, 16 wide.
    EXPECT_EQ("(620,8)-(636,24)", Text(Place("-20,8", main, TwSize{16, 16})));
    // Left edge 40 left of the centre; the element's own width is not centred.
    EXPECT_EQ("(280,10)-(300,20)", Text(Place("|-40,10", main, TwSize{20, 10})));
}

TEST(Position, InvalidCountsKeepTheStoredItemsAndTheSizeModes) {
    Position three = Parsed("1,2,3");
    EXPECT_EQ(0, three.count);
    EXPECT_EQ(3, three.items[2].n);
    three.widthMode = SizeMode::Fixed;
    three.fixedWidth = 30;
    three.heightMode = SizeMode::Full;
    const ChildPlacement placement = PlaceInInner(three, TwRect{0, 0, 200, 100});
    EXPECT_EQ(1, placement.x);
    EXPECT_EQ(2, placement.y);
    // Full height takes the offered height from the element's own top.
    EXPECT_EQ("(1,2)-(31,102)", Text(FinalRect(three, placement, TwSize{5, 5})));

    const Position one = Parsed("5");
    EXPECT_EQ(0, one.count);
    EXPECT_EQ(5, PlaceInInner(one, TwRect{0, 0, 50, 50}).x);
    EXPECT_EQ(0, PlaceInInner(one, TwRect{0, 0, 50, 50}).y);

    // A valid position sets both modes back to content.
    Position fixed;
    fixed.widthMode = SizeMode::Full;
    ParsePosition("1,1", fixed);
    EXPECT_EQ(SizeMode::Content, fixed.widthMode);
    // An empty text changes nothing.
    ParsePosition("", fixed);
    EXPECT_EQ(2, fixed.count);
}

TEST(Position, TheParentsMarginsShrinkTheInnerRectangle) {
    const TwRect inner = InnerRect(TwRect{0, 0, 200, 100}, 10, 0);
    EXPECT_EQ("(10,0)-(190,100)", Text(Place("0,0,-0,-0", inner)));
}

TEST(Position, ANegativeValueWithoutTheMinusMarkIsWrittenSoThatItReadsBack) {
    // Values past the int range wrap to negative ones as the reader wraps:
    // 4294967291 is -5, 5 left of the left edge, not 5 from the right.
    for (const char* text : {"4294967291,0", "99999999999,0"}) {
        const Position position = Parsed(text);
        ASSERT_EQ(2, position.count);
        ASSERT_FALSE(position.items[0].minus);
        const Position again = Parsed(FormatPosition(position).c_str());
        EXPECT_FALSE(again.items[0].minus) << text;
        EXPECT_EQ(position.items[0].n, again.items[0].n) << text;
    }
}
