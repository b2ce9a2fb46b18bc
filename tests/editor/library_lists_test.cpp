// The bank list, the preset browser and the bank menu in the editor of a real plug-in, driven
// through the frame's mouse and keys: loading by click, filing and loading by drag between the
// lists, the two context menus, typing a keyword, and the bank files of the presets folder.
// Set PELKO_LIBRARY_PNG to a file name to keep a picture of the page.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"
#include "support/x_server.h"

#include "editor/controls/bank_lists.h"
#include "editor/controls/database_browser.h"
#include "platform/messages.h"
#include "plugin/synth_plugin.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <cstdlib>
#include <thread>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kLibraryPage = 10;
constexpr int kBankListTag = 10062;
constexpr int kBankMenuTag = 10088;
constexpr int kBrowserTag = 10102;
constexpr int kCutoff = 111;

int enabledCount(const std::vector<MenuItem>& items)
{
    return static_cast<int>(std::count_if(items.begin(), items.end(), [](const MenuItem& item) { return item.enabled; }));
}

class LibraryLists : public EditorFixture {
protected:
    void installSkin(const std::string& folder) override { installTestSkin(folder); }

    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(openHeadless());
        fillLibrary();
    }

    // Pads (with Glass, a program of its own cutoff) holding the empty Warm, and the library page
    // shown with its lists found.
    void fillLibrary()
    {
        SynthPlugin& synth = *plugin->plugin();
        PresetDatabase& library = synth.presetLibrary();
        // The library starts empty: the factory presets of the install folder go.
        ASSERT_EQ(sqlite3_exec(library.handle(), "DELETE FROM PRESETS_INFO; DELETE FROM PRESETS_DATA; DELETE FROM CATEGORIES;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(library.addCategory("Pads", -1, &pads));
        ASSERT_TRUE(library.addCategory("Warm", pads, &warm));
        // Slot 5 sounds different from the rest: its cutoff is filed with it.
        synth.selectProgram(5);
        synth.setParameter(kCutoff, 0.875f);
        synth.renameProgram(5, "Glass");
        ASSERT_TRUE(synth.storePresetInLibrary(5, pads, &glass));
        synth.selectProgram(0);
        editor->selectPage(kLibraryPage);
        browser = dynamic_cast<DatabaseBrowser*>(editor->controlUnderTag(kBrowserTag));
        bank = dynamic_cast<BankScrollList*>(editor->controlUnderTag(kBankListTag));
        ASSERT_NE(browser, nullptr);
        ASSERT_NE(bank, nullptr);
        sendNotification(*browser, notify::kRefreshCommand);
        environment.ui().clear();
    }

    Point rowPoint(const ScrollList& list, int row) const
    {
        const Rect r = list.frameRect();
        return Point{r.left + 40, r.top + list.look().vspace + (row - list.firstRow()) * 14 + 7};
    }
    void drag(Point from, Point to)
    {
        Frame* frame = editor->frame();
        frame->pressMouse(from, kMouseLeft, time += 1000);
        for (int step = 1; step <= 8; ++step) {
            frame->moveMouse(Point{from.h + (to.h - from.h) * step / 8, from.v + (to.v - from.v) * step / 8}, kMouseLeft);
        }
        frame->releaseMouse(to, 0);
    }
    int count(int catId)
    {
        LibraryRow row;
        EXPECT_TRUE(plugin->plugin()->presetLibrary().getCategory(catId, row));
        return row.count;
    }
    std::string slotName(int slot) const { return plugin->plugin()->programNameAt(slot).value_or(""); }
    void type(const std::string& text)
    {
        for (char c : text) {
            editor->frame()->keyDown(static_cast<unsigned char>(c));
        }
    }

    int pads = -1, warm = -1, glass = -1;
    DatabaseBrowser* browser = nullptr;
    BankScrollList* bank = nullptr;
};

TEST_F(LibraryLists, AClickOpensCategoriesAndLoadsAPresetIntoTheSoundingProgram)
{
    EXPECT_EQ(browser->rowText(0), "\x01" "001\x82" "Pads");
    click(rowPoint(*browser, 0));
    ASSERT_EQ(browser->browser().currentCategory().id, pads);
    ASSERT_EQ(browser->rowText(2), "Glass");  // up, Warm, Glass
    ASSERT_NE(plugin->plugin()->getParameter(kCutoff), 0.875f);

    click(rowPoint(*browser, 2));
    EXPECT_EQ(plugin->plugin()->currentProgram(), 0);
    EXPECT_EQ(plugin->plugin()->getParameter(kCutoff), 0.875f);
    EXPECT_EQ(plugin->plugin()->programName(), "Glass");
    EXPECT_EQ(browser->highlightedRow(), 2);
    // The bank list shows the new name of slot 0.
    EXPECT_EQ(bank->rowText(0), "Glass");

    // A preset whose record is damaged: message 16, the program stays as it was.
    ASSERT_TRUE(plugin->plugin()->presetLibrary().replaceRecord(glass, std::vector<std::uint8_t>{21, 0}));
    plugin->plugin()->setParameter(kCutoff, 0.25f);
    click(rowPoint(*browser, 2));
    EXPECT_EQ(plugin->plugin()->getParameter(kCutoff), 0.25f);
    ASSERT_FALSE(environment.ui().messages().empty());
    EXPECT_EQ(environment.ui().messages().back().text.rfind(messageText(16), 0), 0u);
}

TEST_F(LibraryLists, DraggingBetweenTheListsFilesAndLoadsWithExactCounts)
{
    click(rowPoint(*browser, 0));  // into Pads: up, Warm, Glass
    plugin->plugin()->renameProgram(3, "Filed \"One\" 100%");
    // A bank program dropped on the Warm row is filed in Warm; every count above follows.
    drag(rowPoint(*bank, 3), rowPoint(*browser, 1));
    EXPECT_EQ(count(warm), 1);
    EXPECT_EQ(count(pads), 2);
    EXPECT_EQ(browser->rowText(1), "\x01" "001\x82" "Warm");
    // Dropped on a preset row: into the shown category.
    plugin->plugin()->renameProgram(4, "Second");
    drag(rowPoint(*bank, 4), rowPoint(*browser, 2));
    EXPECT_EQ(count(pads), 3);
    EXPECT_EQ(browser->rowText(3), "Second");

    // A browser preset dropped on a bank row goes into that slot.
    ASSERT_EQ(browser->rowText(2), "Glass");
    drag(rowPoint(*browser, 2), rowPoint(*bank, 9));
    EXPECT_EQ(slotName(9), "Glass");
    EXPECT_EQ(bank->rowText(9), "Glass");

    // Dragged onto its own row nothing moves; onto Warm it moves there.
    drag(rowPoint(*browser, 2), Point{rowPoint(*browser, 2).h + 30, rowPoint(*browser, 2).v});
    EXPECT_EQ(count(warm), 1);
    drag(rowPoint(*browser, 2), rowPoint(*browser, 1));
    EXPECT_EQ(count(warm), 2);
    EXPECT_EQ(count(pads), 3);
}

TEST_F(LibraryLists, AFailingLibraryLeavesTheListAsItWasAndSaysSo)
{
    sqlite3* db = plugin->plugin()->presetLibrary().handle();
    const std::vector<std::string> before{browser->rowText(0)};
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE CATEGORIES RENAME TO GONE;", nullptr, nullptr, nullptr), SQLITE_OK);
    click(rowPoint(*browser, 0));
    drag(rowPoint(*bank, 2), rowPoint(*browser, 0));
    sendNotification(*browser, notify::kRefreshCommand);
    EXPECT_EQ(browser->rowCount(), 1);
    EXPECT_EQ(browser->rowText(0), before[0]);
    const auto messages = environment.ui().messages();
    ASSERT_FALSE(messages.empty());
    for (const auto& message : messages) {
        EXPECT_EQ(message.text.rfind(messageText(14), 0), 0u) << message.text;
    }
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE GONE RENAME TO CATEGORIES;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(count(pads), 1);  // nothing was filed

    // Locked by another program: filing fails and the list stays.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(plugin->plugin()->presetLibrary().path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE TRANSACTION;", nullptr, nullptr, nullptr), SQLITE_OK);
    environment.ui().clear();
    drag(rowPoint(*bank, 2), rowPoint(*browser, 0));
    EXPECT_EQ(browser->rowText(0), before[0]);
    EXPECT_FALSE(environment.ui().messages().empty());
    sqlite3_exec(other, "COMMIT TRANSACTION;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(count(pads), 1);
}

TEST_F(LibraryLists, TheBrowserMenuOffersWhatTheRowAllows)
{
    click(rowPoint(*browser, 0));  // Pads: up, Warm, Glass
    editor->frame()->pressMouse(rowPoint(*browser, 2), kMouseRight, time += 1000);
    editor->frame()->releaseMouse(rowPoint(*browser, 2), 0);
    ASSERT_NE(editor->frame()->popupMenu(), nullptr);
    editor->frame()->closePopupMenu();

    const auto enabled = [&](int row) {
        std::vector<bool> flags;
        for (const MenuItem& item : browser->menuFor(row)) {
            flags.push_back(item.enabled);
        }
        return flags;
    };
    EXPECT_EQ(browser->menuFor(0)[0].text, "Keyword mode");
    EXPECT_EQ(enabled(0), (std::vector<bool>{true, true, false, false}));  // the up row
    EXPECT_EQ(enabled(1), (std::vector<bool>{true, true, true, true}));    // a category
    EXPECT_EQ(enabled(2), (std::vector<bool>{true, true, false, true}));   // a preset

    browser->choose(2, 1);  // New Category, inside Pads
    EXPECT_EQ(browser->rowText(1), "\x01" "000\x82(new category)");
    browser->choose(1, 2);  // Rename it in place
    ASSERT_TRUE(browser->editing().editing());
    type("Bright");
    editor->frame()->keyDown(kKeyReturn);
    EXPECT_EQ(browser->rowText(1), "\x01" "000\x82" "Bright");
}

TEST_F(LibraryLists, TypingAKeywordFiltersOnceTypingPausesAndEscapeReturnsToTheFolders)
{
    plugin->plugin()->renameProgram(2, "Organ");
    ASSERT_TRUE(plugin->plugin()->storePresetInLibrary(2, -1));
    browser->choose(-1, 0);  // Keyword mode
    ASSERT_EQ(browser->browser().mode(), PresetBrowser::Mode::keyword);
    ASSERT_TRUE(browser->editing().editing());
    EXPECT_EQ(browser->rowCount(), 2);
    EXPECT_EQ(enabledCount(browser->menuFor(0)), 2);  // New Category and Rename are off

    type("GLA");
    editor->idle();  // too soon: typing has not paused yet
    EXPECT_EQ(browser->rowCount(), 2);
    std::this_thread::sleep_for(DatabaseBrowser::kTypingPause + std::chrono::milliseconds(20));
    editor->idle();
    ASSERT_EQ(browser->rowCount(), 1);
    EXPECT_EQ(browser->rowText(0), "Glass");

    editor->frame()->keyDown(kKeyEscape);
    EXPECT_EQ(browser->browser().mode(), PresetBrowser::Mode::folder);
    EXPECT_FALSE(browser->editing().editing());
    EXPECT_EQ(browser->rowText(0), "\x01" "001\x82" "Pads");

    // Return commits the keyword at once; Escape afterwards still goes back.
    browser->choose(-1, 0);
    type("org");
    editor->frame()->keyDown(kKeyReturn);
    ASSERT_FALSE(browser->editing().editing());
    ASSERT_EQ(browser->rowCount(), 1);
    EXPECT_EQ(browser->rowText(0), "Organ");
    EXPECT_EQ(browser->browser().keyword(), "org");
    editor->frame()->keyDown(kKeyEscape);
    EXPECT_EQ(browser->browser().mode(), PresetBrowser::Mode::folder);
    EXPECT_EQ(editor->frame()->focusView(), nullptr);
}

TEST_F(LibraryLists, TheSlotMenuCopiesPastesRenamesAndClears)
{
    std::vector<MenuItem> items = bank->menuFor(0);
    ASSERT_EQ(items.size(), 13u);
    EXPECT_TRUE(items[8].separator);
    EXPECT_EQ(items[7].text, "Paste");
    EXPECT_FALSE(items[7].enabled);

    plugin->plugin()->renameProgram(6, "Source");
    bank->choose(6, 6);  // Copy
    EXPECT_TRUE(bank->menuFor(0)[7].enabled);
    bank->choose(11, 7);  // Paste
    EXPECT_EQ(slotName(11), "Source");
    EXPECT_EQ(bank->rowText(11), "Source");

    bank->choose(11, 4);  // Rename in place
    ASSERT_TRUE(bank->editing().editing());
    type("Renamed");
    editor->frame()->keyDown(kKeyReturn);
    EXPECT_EQ(slotName(11), "Renamed");

    bank->choose(11, 5);  // Clear
    EXPECT_NE(slotName(11), "Renamed");

    // Write: the edited program goes into slot 12, which is then selected.
    plugin->plugin()->setParameter(kCutoff, 0.5f);
    bank->choose(12, 0);
    EXPECT_EQ(plugin->plugin()->currentProgram(), 12);
    EXPECT_EQ(plugin->plugin()->getParameter(kCutoff), 0.5f);
    EXPECT_EQ(bank->highlightedRow(), 12);
}

TEST_F(LibraryLists, TheSlotMenuSavesAndLoadsBankAndProgramFilesThroughTheDialog)
{
    SynthPlugin& synth = *plugin->plugin();
    const std::string folder = environment.installFolder();
    synth.renameProgram(0, "Banked");
    environment.ui().queueFileName(folder + "mine.fxb");
    bank->choose(0, 9);  // Save Bank
    synth.renameProgram(0, "Changed");
    environment.ui().queueFileName(folder + "mine.fxb");
    bank->choose(0, 8);  // Load Bank
    EXPECT_EQ(slotName(0), "Banked");

    synth.renameProgram(0, "One program");
    environment.ui().queueFileName(folder + "one.fxp");
    bank->choose(0, 11);  // Save Preset: the edited program
    environment.ui().queueFileName(folder + "one.fxp");
    bank->choose(20, 10);  // Load Preset into slot 20
    EXPECT_EQ(slotName(20), "One program");
    EXPECT_EQ(bank->rowText(20), "One program");

    // A cancelled dialog and a missing file change nothing.
    bank->choose(21, 10);
    environment.ui().queueFileName(folder + "missing.fxp");
    bank->choose(21, 10);
    EXPECT_EQ(slotName(21), "program 21");
    std::vector<std::string> titles;
    for (const auto& request : environment.ui().fileRequests()) {
        titles.push_back(request.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Save FX Bank", "Load FX Bank", "Save FX Patch", "Load FX Patch",
                                                "Load FX Patch", "Load FX Patch"}));
}

TEST_F(LibraryLists, TheBankMenuListsThePresetsFolderAndLoadsTheChosenBank)
{
    SynthPlugin& synth = *plugin->plugin();
    const std::string presets = environment.installFolder() + "presets/";
    synth.renameProgram(0, "From Alpha");
    ASSERT_TRUE(synth.saveBankToFile(presets + "Alpha.fxb"));
    synth.renameProgram(0, "Something else");
    ::mkdir((presets + "Folder.fxb").c_str(), 0755);  // a directory is not a bank

    auto* menu = dynamic_cast<BankNameMenu*>(editor->controlUnderTag(kBankMenuTag));
    ASSERT_NE(menu, nullptr);
    click(centreOf(*menu));
    ASSERT_NE(editor->frame()->popupMenu(), nullptr);
    const std::vector<std::string>& banks = menu->banks();
    const auto alpha = std::find(banks.begin(), banks.end(), "Alpha");
    ASSERT_NE(alpha, banks.end());
    EXPECT_EQ(std::find(banks.begin(), banks.end(), "Folder"), banks.end());
    EXPECT_TRUE(std::is_sorted(banks.begin(), banks.end()));
    editor->frame()->closePopupMenu();

    menu->choose(static_cast<int>(alpha - banks.begin()));
    EXPECT_EQ(slotName(0), "From Alpha");
    EXPECT_EQ(bank->rowText(0), "From Alpha");
    EXPECT_EQ(menu->name(), synth.bankName());
}

TEST_F(LibraryLists, ThePageShowsBothListsReadably)
{
    click(rowPoint(*browser, 0));  // Pads: up, Warm (empty), Glass
    const char* keep = std::getenv("PELKO_LIBRARY_PNG");
    const std::string path = keep != nullptr ? keep : environment.installFolder() + "library.png";
    ASSERT_TRUE(editor->renderPage(kLibraryPage, path));
    // The empty Warm row is drawn in the dim font, the up row's arrow in the normal ink.
    const Rect list = browser->frameRect();
    const auto inks = [&](int row) {
        std::set<std::uint32_t> colours;
        for (int y = 0; y < 14; ++y) {
            for (int x = 2; x < 170; ++x) {
                colours.insert(editor->frame()->backBuffer().pixel(list.left + x, list.top + 1 + row * 14 + y) & 0xFFFFFF);
            }
        }
        return colours;
    };
    EXPECT_TRUE(inks(1).count(0x707070));
    EXPECT_FALSE(inks(1).count(0xE0E0A0));
    EXPECT_TRUE(inks(0).count(0xE0E0A0));

    // The row menu of a preset, drawn over the page.
    editor->frame()->pressMouse(rowPoint(*browser, 2), kMouseRight, time += 1000);
    editor->frame()->releaseMouse(rowPoint(*browser, 2), 0);
    ASSERT_TRUE(editor->renderPage(kLibraryPage, path + ".menu.png"));
    editor->frame()->closePopupMenu();

    // The top level with a four-digit count.
    click(rowPoint(*browser, 0));
    ASSERT_TRUE(plugin->plugin()->presetLibrary().adjustCounts(pads, 1233));
    sendNotification(*browser, notify::kRefreshCommand);
    ASSERT_TRUE(editor->renderPage(kLibraryPage, path + ".top.png"));
    EXPECT_EQ(browser->rowText(0), "\x01" "1234\x82" "Pads");
}

// The same drag as a user makes it, through a private X server: a bank program dragged with the
// pointer onto a category of the browser is filed there.
class LibraryListsInWindow : public LibraryLists {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error();
        EditorFixture::SetUp();
        const testing_support::XWindow parent = server.createParentWindow(640, 480, 0, 0);
        ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        idle();
        server.sync();
        const std::vector<testing_support::XWindow> children = server.children(parent);
        ASSERT_EQ(children.size(), 1u);
        window = children[0];
        fillLibrary();
        idle();
    }
    void idle() { dispatch(vst2::effEditIdle); }

    testing_support::XServer server;
    testing_support::XWindow window = 0;
};

TEST_F(LibraryListsInWindow, APointerDragFilesABankProgramInACategory)
{
    plugin->plugin()->renameProgram(7, "Dragged");
    idle();
    const Point from = rowPoint(*bank, 7);
    const Point to = rowPoint(*browser, 0);  // Pads
    server.drag(window, from.h, from.v, to.h, to.v, 12, [&] { idle(); });
    testing_support::eventually([&] { return count(pads) == 2; }, [&] { idle(); });
    EXPECT_EQ(count(pads), 2);
    EXPECT_EQ(browser->rowText(0), "\x01" "002\x82" "Pads");
    LibraryRows found;
    ASSERT_TRUE(plugin->plugin()->presetLibrary().searchPresets("Dragged", found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].link, pads);
}

}  // namespace
