#include "app/LayerChoices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using Shown = std::vector<uint8_t>;

TEST(HiddenLayerNames, AHiddenNameHidesTheLayersOfThatNameInTheNextDocument) {
    HiddenLayerNames hidden;
    EXPECT_TRUE(hidden.Empty());
    hidden.NoteChange({"paper", "draft", "ink"}, false, {1, 1, 1}, {1, 0, 1});
    EXPECT_FALSE(hidden.Empty());

    struct Case {
        const char* what;
        Names names;
        bool numbered;
        Shown visible, expected;
        bool changed;
    } cases[] = {
        {"same name elsewhere in the stack", {"draft", "colour"}, false, {1, 1}, {0, 1}, true},
        {"every layer of that name", {"draft", "ink", "draft"}, false, {1, 1, 1}, {0, 1, 0}, true},
        {"already hidden: nothing to change", {"draft"}, false, {0}, {0}, false},
        {"names compare whole and by case", {"Draft", "draft 2", "draf"}, false, {1, 1, 1}, {1, 1, 1}, false},
        {"a QVR's numbered layers are apart", {"draft"}, true, {1}, {1}, false},
        {"no layers", {}, false, {}, {}, false},
        {"fewer boxes than names", {"ink", "draft"}, false, {1}, {1}, false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(hidden.Apply(c.names, c.numbered, c.visible), c.changed) << c.what;
        EXPECT_EQ(c.visible, c.expected) << c.what;
    }
}

TEST(HiddenLayerNames, OnlyTheBoxesChangedCountAndShowingTakesTheNameAway) {
    HiddenLayerNames hidden;
    // Hidden as stored is the document's, not a choice: it is not carried.
    hidden.NoteChange({"sketch", "ink"}, false, {0, 1}, {0, 1});
    EXPECT_TRUE(hidden.Empty());
    hidden.NoteChange({"sketch", "ink"}, false, {0, 1}, {0, 0});
    Shown next{1, 1};
    hidden.Apply({"sketch", "ink"}, false, next);
    EXPECT_EQ(next, (Shown{1, 0}));
    // Shown again in another document: no longer carried.
    hidden.NoteChange({"ink"}, false, {0}, {1});
    EXPECT_TRUE(hidden.Empty());
    // Two layers of one name: the last change made decides.
    hidden.NoteChange({"ink", "ink"}, false, {1, 1}, {0, 1});
    EXPECT_FALSE(hidden.Empty());
    hidden.NoteChange({"ink", "ink"}, false, {0, 1}, {1, 1});
    EXPECT_TRUE(hidden.Empty());
}

TEST(HiddenLayerNames, UnnamedLayersAndMismatchedChangesAreNotCarried) {
    HiddenLayerNames hidden;
    hidden.NoteChange({"", "ink"}, false, {1, 1}, {0, 1});
    EXPECT_TRUE(hidden.Empty());
    hidden.NoteChange({"ink"}, false, {1, 1}, {0, 0}); // boxes of another document
    EXPECT_TRUE(hidden.Empty());
    hidden.NoteChange({"Layer 1", "Layer 2"}, true, {1, 1}, {0, 1});
    Shown qvm{1};
    EXPECT_FALSE(hidden.Apply({"Layer 1"}, false, qvm));
    Shown qvr{1, 1};
    EXPECT_TRUE(hidden.Apply({"Layer 1", "Layer 2"}, true, qvr));
    EXPECT_EQ(qvr, (Shown{0, 1}));
    hidden.Clear();
    EXPECT_TRUE(hidden.Empty());
}

TEST(LayerSolo, OneLayerAloneAndTheChoicesPutBack) {
    LayerSolo solo;
    Shown visible{1, 0, 1, 1};
    EXPECT_EQ(solo.Layer(), -1);
    ASSERT_TRUE(solo.Toggle(1, visible));
    EXPECT_EQ(visible, (Shown{0, 1, 0, 0})); // a hidden layer too can be shown alone
    EXPECT_EQ(solo.Layer(), 1);
    // Again, on the solo layer or on another: the boxes as they were.
    ASSERT_TRUE(solo.Toggle(3, visible));
    EXPECT_EQ(visible, (Shown{1, 0, 1, 1}));
    EXPECT_EQ(solo.Layer(), -1);

    EXPECT_FALSE(solo.Toggle(4, visible));
    EXPECT_FALSE(solo.Toggle(-1, visible));
    EXPECT_EQ(visible, (Shown{1, 0, 1, 1}));
    EXPECT_EQ(solo.Layer(), -1);
}

TEST(LayerSolo, NothingIsPutBackOntoAnotherDocumentOrAfterAForget) {
    LayerSolo solo;
    Shown first{1, 1, 0};
    solo.Toggle(0, first);
    Shown other{1, 0}; // stepped meanwhile without a forget
    solo.Toggle(0, other);
    EXPECT_EQ(other, (Shown{1, 0}));
    EXPECT_EQ(solo.Layer(), -1);

    Shown again{1, 1, 0};
    solo.Toggle(2, again);
    solo.Forget();
    EXPECT_EQ(solo.Layer(), -1);
    ASSERT_TRUE(solo.Toggle(0, again)); // a new solo, from the boxes as they stand
    EXPECT_EQ(again, (Shown{1, 0, 0}));
}

} // namespace
