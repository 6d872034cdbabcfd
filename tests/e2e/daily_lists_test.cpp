// Going round the three lists with the toggle, each keeping its selection.
#include "daily_journey.h"

namespace {

// ---- Going round the lists -------------------------------------------------

const Entries &listEntries(uint32_t list)
{
    static const Entries none;
    return list == 1 ? List1 : list == 2 ? List2 : list == 3 ? List3 : none;
}

struct ToggleCase {
    Via via;
    uint32_t from;
    uint32_t to;
};

struct DailyToggleJourney : DailyJourney, ::testing::WithParamInterface<ToggleCase> {};

TEST_P(DailyToggleJourney, ShowsTheNextListAndKeepsItAcrossARestart)
{
    const ToggleCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(c.from, 0, 0)));
    // A list number outside 1 to 3 starts on list 1.
    ASSERT_EQ(listEntries(c.from >= 1 && c.from <= 3 ? c.from : 1), listBoxEntries(listBox));

    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    ASSERT_TRUE(command(c.via, IDC_TOGGLE, "Toggle List"));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == listEntries(c.to); }, UiTimeoutMs))
        << "still shows " << listBoxEntries(listBox).size() << " entries";
    ASSERT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.activeList == c.to; }));

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(listEntries(c.to), listBoxEntries(listBox));
    EXPECT_EQ(c.to, savedSettings().activeList);
}

const ToggleCase toggleCases[] = {
    {ViaButton, 0, 2}, {ViaButton, 1, 2}, {ViaButton, 2, 3}, {ViaButton, 3, 1}, {ViaButton, 9, 2},
    {ViaMenu, 0, 2},   {ViaMenu, 1, 2},   {ViaMenu, 2, 3},   {ViaMenu, 3, 1},   {ViaMenu, 9, 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyToggleJourney, ::testing::ValuesIn(toggleCases),
                         [](const ::testing::TestParamInfo<ToggleCase> &info) {
                             return std::string(viaName(info.param.via)) + "From" + std::to_string(info.param.from);
                         });

TEST_F(DailyJourney, ThreeTogglesComeBackWithEachListsSelection)
{
    SettingsRecord settings = settingsRecord(1, 0, 0);
    settings.lists[0].listSelection = 2;
    settings.lists[1].listSelection = 1;
    settings.lists[2].listSelection = 0;
    ASSERT_NO_FATAL_FAILURE(startWith(settings));
    ASSERT_EQ(2, selectedIndex(listBox));

    const struct {
        uint32_t list;
        int selected;
        int clicked; // then clicked by the user; -1 for none
    } rounds[] = {{2, 1, 3}, {3, 0, -1}, {1, 2, -1}, {2, 3, -1}};
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.list);
        ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
        ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == listEntries(round.list); }, UiTimeoutMs));
        EXPECT_EQ(round.selected, selectedIndex(listBox));
        if (round.clicked >= 0) {
            ASSERT_TRUE(clickEntry(listBox, round.clicked));
        }
    }
}

} // namespace
