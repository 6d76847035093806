// The menu engine: loading and back links, soft-key labels, selection moves, item builders, and
// items spliced in and out, with definitions that are malformed or name no menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/String.h"
#include "tests/engine/ServiceCanvas.h"

namespace enginetest {
namespace {

using H = HookCanvas;

constexpr int32_t kButton = H::MENU_ITEMTYPE_BUTTON;
constexpr int32_t kText = H::MENU_ITEMTYPE_TEXT;
constexpr int32_t kSelectable = 0x100;  // the flag the tests' buttons carry

std::vector<int32_t> words(const JavaPtr<JArray<int32_t>>& a) {
    if (!a) return {};
    return std::vector<int32_t>(a->data, a->data + a->length);
}

JavaPtr<JArray<int32_t>> array(const std::vector<int32_t>& w) {
    auto a = jnew<JArray<int32_t>>(static_cast<int>(w.size()));
    for (size_t i = 0; i < w.size(); ++i) a->data[i] = w[i];
    return a;
}

std::string text(const JavaPtr<java::lang::String>& s) {
    return s ? toUtf8(s) : std::string("(null)");
}

class MenuEngine : public ServiceCanvasFixture {
protected:
    // The menu definitions by id; an empty one is stored as null.
    void define(const std::vector<std::vector<int32_t>>& menus) {
        service->menu_definitions = jnew<JArray<JavaPtr<JArray<int32_t>>>>(static_cast<int>(menus.size()));
        for (size_t i = 0; i < menus.size(); ++i)
            if (!menus[i].empty()) service->menu_definitions->data[i] = array(menus[i]);
    }
    // n items: buttons (which carry kSelectable) at the given numbers, text items elsewhere, then the
    // soft-key items.
    static std::vector<int32_t> menuOf(int n, const std::vector<int>& buttons,
                                       std::vector<int32_t> softkeys = {}) {
        std::vector<int32_t> m = {n + static_cast<int>(softkeys.size()) / 4, 0, 7};
        for (int i = 0; i < n; ++i) {
            bool isButton = std::find(buttons.begin(), buttons.end(), i) != buttons.end();
            if (isButton)
                m.insert(m.end(), {kButton | kSelectable | 4, 10 + i, -1, 20 + i});
            else
                m.insert(m.end(), {kText | 3, 10 + i, -1});
        }
        m.insert(m.end(), softkeys.begin(), softkeys.end());
        return m;
    }
};

TEST_F(MenuEngine, LoadWritesTheBackLinkAndBackRestoresTheOldMenu) {
    define({menuOf(5, {1, 3}), menuOf(5, {0, 2, 3, 4}), menuOf(4, {2})});
    service->menuLoad(1, kSelectable);
    EXPECT_EQ(service->menu_selected_item, 0);
    service->menu_selected_item = 3;
    const int32_t menu1Link = service->menu_definitions->data[1]->data[1];

    service->menuLoad(2, kSelectable);
    EXPECT_EQ(service->menu_current_id, 2);
    EXPECT_EQ(service->menu_selected_item, 2);
    EXPECT_EQ(service->menu_definitions->data[2]->data[1], (1 << 16) | 3);

    service->menu_selected_item = 0;
    service->menuLoad(2, kSelectable);
    EXPECT_EQ(service->menu_definitions->data[2]->data[1], (1 << 16) | 3) << "re-entry keeps the link";
    EXPECT_EQ(service->menu_selected_item, 2) << "re-entry selects the first match again";

    service->menuBack();
    EXPECT_EQ(service->menu_current_id, 1);
    EXPECT_EQ(service->menu_selected_item, 3);
    EXPECT_EQ(service->menu_definitions->data[1]->data[1], menu1Link) << "menu 1 keeps its own link";
    EXPECT_EQ(words(service->menu_current), words(service->menu_definitions->data[1]));
}

TEST_F(MenuEngine, SoftKeyItemsSetTheLabels) {
    const std::vector<int32_t> back = {H::MENU_ITEMTYPE_SOFTKEY | 4, 90, 0, 1};
    const std::vector<int32_t> fwrd = {H::MENU_ITEMTYPE_SOFTKEY | 4, 91, 1, 2};
    std::vector<int32_t> both = back;
    both.insert(both.end(), fwrd.begin(), fwrd.end());
    define({menuOf(2, {1}, both), menuOf(2, {0}, back), {0, 0, 0}});

    service->menuLoad(0, kSelectable);
    EXPECT_EQ(text(H::backSoftkeyString()), "text 90");
    EXPECT_EQ(text(H::fwrdSoftkeyString()), "text 91");
    EXPECT_EQ(service->menu_selected_item, 1) << "soft keys are never selected";
    EXPECT_EQ(service->menuGetSoftkeyIndex(false), 3 + 4 + 3);
    EXPECT_EQ(service->menuGetSoftkeyIndex(true), 3 + 4 + 3 + 4);

    service->menuLoad(1, kSelectable);
    EXPECT_EQ(text(H::backSoftkeyString()), "text 90");
    EXPECT_EQ(text(H::fwrdSoftkeyString()), "(null)") << "a back-only menu clears the forward label";
    EXPECT_EQ(service->menuGetSoftkeyIndex(true), -1);

    service->menuLoad(2, kSelectable, false);
    EXPECT_EQ(service->menu_selected_item, 0) << "a menu without items selects item 0";
    EXPECT_EQ(text(H::backSoftkeyString()), "text 90") << "labels untouched when not asked";
    service->menuLoad(2, kSelectable);
    EXPECT_EQ(text(H::backSoftkeyString()), "(null)");
}

TEST_F(MenuEngine, SelectionMovesOverMatchingItems) {
    // Items 1, 3 and 4 match.
    define({menuOf(6, {1, 3, 4})});
    struct Case {
        const char* name;
        int from, delta;
        bool wrap;
        int want;
    };
    const Case cases[] = {
        {"+1 from 1", 1, 1, false, 3},
        {"+2 skips one match", 1, 2, false, 4},
        {"-1 from 4", 4, -1, false, 3},
        {"+1 with wrap from the last match starts again at item 0", 4, 1, true, 1},
        {"+1 without wrap from the last match stops at item n - 1", 4, 1, false, 4},
        {"-1 without wrap from item 1 stops at item 0", 1, -1, false, 1},
        {"-1 with wrap from item 1 comes round to 4", 1, -1, true, 4},
        {"+5 with wrap comes back to the start and stops", 1, 5, true, 1},
    };
    for (const Case& c : cases) {
        service->menuLoad(0, kSelectable);
        service->menu_selected_item = c.from;
        service->menuAdjustCurrentSelectedItem(c.delta, kSelectable, c.wrap);
        EXPECT_EQ(service->menu_selected_item, c.want) << c.name;
    }

    // From item 0, -1 without wrap examines the last item and stops there: a match there is taken.
    define({menuOf(4, {0, 3})});
    service->menuLoad(0, kSelectable);
    service->menuAdjustCurrentSelectedItem(-1, kSelectable, false);
    EXPECT_EQ(service->menu_selected_item, 3);
    // One step forward from item n - 1 examines item 0 even without wrap.
    service->menuAdjustCurrentSelectedItem(1, kSelectable, false);
    EXPECT_EQ(service->menu_selected_item, 0);
    // Nothing matches: no move, and the search ends.
    service->menuAdjustCurrentSelectedItem(1, 0x800000, true);
    EXPECT_EQ(service->menu_selected_item, 0);
}

TEST_F(MenuEngine, ItemBuildersAndInjection) {
    EXPECT_EQ(words(service->menuItemButton(5, 0x100, 7)), (std::vector<int32_t>{0x3000100, 5, -1, 7}));
    EXPECT_EQ(words(service->menuItemText(6)), (std::vector<int32_t>{kText, 6, -1}));
    EXPECT_EQ(words(service->menuItemHeader(8)), (std::vector<int32_t>{H::MENU_ITEMTYPE_HEADER, 8, -1}));
    EXPECT_EQ(words(service->menuItemSoftkey(9, true, 3)),
              (std::vector<int32_t>{H::MENU_ITEMTYPE_SOFTKEY, 9, 1, 3}));

    const std::vector<int32_t> original = {2, 0, 7, kText | 3, 10, -1, kText | 3, 11, -1};
    define({original});
    JavaPtr<JArray<int32_t>> item = service->menuItemButton(5, 0x100, 7);
    service->menuInjectItem(0, 0, item);
    EXPECT_EQ(item->data[0], 0x3000104);
    EXPECT_EQ(words(service->menu_definitions->data[0]),
              (std::vector<int32_t>{3, 0, 7, 0x3000104, 5, -1, 7, kText | 3, 10, -1, kText | 3, 11, -1}));

    define({original});
    service->menuInjectItem(0, 2, service->menuItemText(12));
    EXPECT_EQ(words(service->menu_definitions->data[0]),
              (std::vector<int32_t>{3, 0, 7, kText | 3, 10, -1, kText | 3, 11, -1, kText | 3, 12, -1}));
    EXPECT_EQ(service->menuItemIndex(0, 2), 9);
    EXPECT_EQ(service->menuItemIndex(0, 3), -1);

    service->menuRemoveItem(0, 1);
    EXPECT_EQ(words(service->menu_definitions->data[0]),
              (std::vector<int32_t>{2, 0, 7, kText | 3, 10, -1, kText | 3, 12, -1}));
}

TEST_F(MenuEngine, BadArgumentsAndDefinitionsChangeNothing) {
    // No definitions at all (as after a resource map with G = 0).
    service->menuLoad(0, kSelectable);
    service->menuBack();
    EXPECT_FALSE(service->menu_current);
    EXPECT_EQ(service->menuItemIndex(0, 0), -1);
    service->menuInjectItem(0, 0, service->menuItemText(1));
    service->menuRemoveItem(0, 0);
    EXPECT_FALSE(service->menu_definitions);

    const std::vector<int32_t> original = {2, 0, 7, kText | 3, 10, -1, kText | 3, 11, -1};
    define({original, {}});
    service->menuLoad(0, kSelectable);
    service->menuLoad(1, kSelectable);  // a null definition
    service->menuLoad(5, kSelectable);  // past the table
    service->menuLoad(-1, kSelectable);
    EXPECT_EQ(service->menu_current_id, 0);
    EXPECT_EQ(words(service->menu_current), original);

    service->menuInjectItem(0, 3, service->menuItemText(1));
    service->menuInjectItem(0, -1, service->menuItemText(1));
    service->menuInjectItem(7, 0, service->menuItemText(1));
    service->menuRemoveItem(0, 2);
    service->menuRemoveItem(0, -1);
    service->menuRemoveItem(1, 0);
    EXPECT_EQ(words(service->menu_definitions->data[0]), original);
    EXPECT_FALSE(service->menu_definitions->data[1]);

    // A back link to a menu that does not exist leads nowhere.
    service->menu_current->data[1] = 9 << 16;
    service->menuBack();
    EXPECT_EQ(service->menu_current_id, 0);
}

TEST_F(MenuEngine, AnItemOfSizeZeroEndsTheDefinition) {
    // Item 1 has size 0: every walk must stop there instead of circling.
    define({{4, 0, 7, kText | 3, 10, -1, kButton | kSelectable, 11, -1, 1, kButton | kSelectable | 4, 12, -1,
             2}});
    service->menuLoad(0, kSelectable);
    EXPECT_EQ(service->menu_selected_item, 1);
    EXPECT_EQ(service->menuItemIndex(0, 1), 6);
    EXPECT_EQ(service->menuItemIndex(0, 2), -1);
    service->menuAdjustCurrentSelectedItem(1, kSelectable, true);
    EXPECT_EQ(service->menu_selected_item, 1);
    EXPECT_EQ(service->menuGetSoftkeyIndex(false), -1);
    service->menuRemoveItem(0, 1);
    service->menuInjectItem(0, 4, service->menuItemText(1));
    EXPECT_EQ(service->menu_definitions->data[0]->length, 14) << "nothing spliced into a broken definition";
}

TEST_F(MenuEngine, SoftkeyLabelsTakeTheirDecorations) {
    EXPECT_EQ(text(service->adjustGraphicalSoftkeyLabel(jnew<java::lang::String>("Menu"), true)), "Menu");
    H::softkey_add_back = jnew<java::lang::String>("< ");
    H::softkey_add_fwrd = jnew<java::lang::String>(" >");
    EXPECT_EQ(text(service->adjustGraphicalSoftkeyLabel(jnew<java::lang::String>("Menu"), true)), "< Menu");
    EXPECT_EQ(text(service->adjustGraphicalSoftkeyLabel(jnew<java::lang::String>("Go"), false)), "Go >");
    EXPECT_EQ(text(service->adjustGraphicalSoftkeyLabel(jnew<java::lang::String>(""), false)), "");
    EXPECT_EQ(text(service->adjustGraphicalSoftkeyLabel(nullptr, true)), "(null)");
    service->setSoftkeys(jnew<java::lang::String>("Back"), nullptr);
    EXPECT_EQ(text(H::backSoftkeyString()), "< Back");
    JavaPtr<java::lang::String> stored = H::backSoftkeyString();
    service->setSoftkeys(jnew<java::lang::String>("Back"), nullptr);
    EXPECT_EQ(H::backSoftkeyString(), stored) << "equal labels leave the stored ones in place";
    H::softkey_add_back = nullptr;
    H::softkey_add_fwrd = nullptr;
}

}  // namespace
}  // namespace enginetest
