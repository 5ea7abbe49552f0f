#include "hiscores/hiscore_name_dlg.h"
#include "res/resource.h"
#include "tests/hiscores/hiscore_fixture.h"

namespace {

class HiScoreDialogTest : public HiScoreTest {
protected:
    CHiScoresDlg& klondike = store.m_hiScoreTables[HISCORE_KLONDIKE];

    const ModalRecord& Shown(size_t i) const { return host.Modals().at(i); }
    static const ListViewData& List(const ModalRecord& shown) {
        return shown.controls.at(IDC_HISCORE_LIST).list;
    }
    static CString Prompt(int place) {
        return FormatString("Je staat op plaats %d in de HiScore lijst!!\nGeef je naam:", place);
    }
};

TEST_F(HiScoreDialogTest, RankingRuleAtTheEndOfATenEntryTable) {
    Fill(klondike, {100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
    EXPECT_EQ(klondike.RankOf(5), -1);
    EXPECT_EQ(klondike.RankOf(10), -1);  // would be place 11, at the end
    EXPECT_EQ(klondike.RankOf(11), 9);
    EXPECT_EQ(klondike.RankOf(100), 1);  // below the older equal entry
    EXPECT_EQ(klondike.RankOf(101), 0);
    EXPECT_EQ(klondike.RankOf(50), 6);

    EXPECT_FALSE(klondike.AddHiScore(30, 5));
    EXPECT_FALSE(klondike.AddHiScore(30, 10));
    EXPECT_TRUE(host.Modals().empty()) << "a refused result shows nothing";
    EXPECT_FALSE(std::filesystem::exists(ScoresFile())) << "nor saves";

    EXPECT_TRUE(klondike.AddHiScore(30, 11));
    EXPECT_EQ(Scores(klondike), (std::vector<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 11, 10}));
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_PROMPT).text, Prompt(10));
    // The table is not cut back: with eleven entries a score above the last still enters.
    EXPECT_EQ(klondike.RankOf(10), -1);
    EXPECT_TRUE(klondike.AddHiScore(30, 12));
    EXPECT_EQ(klondike.m_entries.size(), 12u);
    EXPECT_EQ(klondike.m_entries[9]->m_score, 12);
}

TEST_F(HiScoreDialogTest, EqualScoresGoBelowTheOlderOnes) {
    Fill(klondike, {70, 50, 50, 30});
    Answer("name Later");
    EXPECT_TRUE(klondike.AddHiScore(1, 50));
    EXPECT_EQ(Scores(klondike), (std::vector<int>{70, 50, 50, 50, 30}));
    EXPECT_EQ(klondike.m_entries[3]->m_name, u"Later");
    EXPECT_EQ(klondike.m_entries[1]->m_name, u"P2");

    Fill(klondike, {70});
    host.ClearModals();
    EXPECT_TRUE(klondike.AddHiScore(1, 70));  // equal to the best: place 2
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_PROMPT).text, Prompt(2));
}

TEST_F(HiScoreDialogTest, AShortTableTakesEveryResult) {
    Fill(klondike, {100, 90, 80, 70, 60, 50, 40, 30, 20});
    EXPECT_EQ(klondike.RankOf(-1000), 9);
    Fill(klondike, {});
    EXPECT_EQ(klondike.RankOf(0), 0);
    EXPECT_TRUE(klondike.AddHiScore(0, -5));
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_PROMPT).text, Prompt(1));
    EXPECT_EQ(Scores(klondike), std::vector<int>{-5});
}

TEST_F(HiScoreDialogTest, AddHiScoreAsksTheNameSavesAndShowsTheListWithTheNewRow) {
    CHiScoresDlg& spider = store.m_hiScoreTables[HISCORE_SPIDER];
    spider.m_title = u"HiScores: Spider";
    spider.m_lastName = u"Bob";
    Fill(spider, {900, 500, 100});
    Answer("name Alice");
    Answer("ok");
    EXPECT_TRUE(spider.AddHiScore(125, 600));

    ASSERT_EQ(host.Modals().size(), 2u);
    const ModalRecord& name = Shown(0);
    EXPECT_EQ(name.templateId, IDD_HISCORE_NAME);
    EXPECT_EQ(name.caption, u"Hi score !");
    EXPECT_EQ(name.controls.at(IDC_HISCORE_PROMPT).text, Prompt(2));
    EXPECT_EQ(name.controls.at(IDC_HISCORE_NAME).text, u"Bob");  // the last name is offered
    EXPECT_EQ(name.answer, "name Alice");

    const ModalRecord& list = Shown(1);
    EXPECT_EQ(list.templateId, IDD_HISCORES);
    EXPECT_EQ(list.caption, u"HiScores: Spider");
    ASSERT_EQ(List(list).rows.size(), 4u);
    EXPECT_EQ(List(list).rows[1], (std::vector<CString>{u"2", u"Alice", u"2:05", u"600"}));
    EXPECT_EQ(List(list).selected, 1);
    EXPECT_EQ(spider.m_highlight, 1);
    EXPECT_EQ(spider.m_lastName, u"Alice");

    // The whole of every table is on disk.
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    const CHiScoresDlg& saved = reread.m_hiScoreTables[HISCORE_SPIDER];
    EXPECT_EQ(saved.m_lastName, u"Alice");
    EXPECT_EQ(Scores(saved), (std::vector<int>{900, 600, 500, 100}));
    EXPECT_EQ(saved.m_entries[1]->m_name, u"Alice");
    EXPECT_EQ(saved.m_entries[1]->m_seconds, 125);
    EXPECT_TRUE(reread.m_hiScoreTables[HISCORE_KLONDIKE].m_entries.empty());
}

TEST_F(HiScoreDialogTest, ANameDialogClosedWithoutOkEntersThePreviousName) {
    // First entry of a table that never had a name: an empty one.
    EXPECT_TRUE(klondike.AddHiScore(10, 40));  // nothing queued: closed without OK
    EXPECT_EQ(Shown(0).answer, "cancel");
    EXPECT_EQ(klondike.m_entries[0]->m_name, u"");

    Answer("name ");  // an empty name typed and OK: accepted as well
    EXPECT_TRUE(klondike.AddHiScore(10, 30));
    EXPECT_EQ(klondike.m_entries[1]->m_name, u"");

    klondike.m_lastName = u"Carol";
    Answer("cancel");
    EXPECT_TRUE(klondike.AddHiScore(10, 50));
    EXPECT_EQ(klondike.m_entries[0]->m_name, u"Carol");
    EXPECT_EQ(klondike.m_lastName, u"Carol");
    EXPECT_EQ(klondike.m_highlight, 0);
}

TEST_F(HiScoreDialogTest, ANameTakesAtMostThirtyTwoCharacters) {
    const std::string longest(32, 'n');
    Answer("name " + longest + "n");  // refused: the dialog stays open
    Answer("ok");                     // the box that says so
    Answer("name " + longest);
    EXPECT_EQ(klondike.AddHiScore(10, 40), 1);
    ASSERT_EQ(host.Modals().size(), 3u);
    EXPECT_EQ(Shown(0).text, u"Enter no more than 32 characters.");
    EXPECT_EQ(Shown(1).controls.at(IDC_HISCORE_NAME).limit, 32);  // the box takes no more
    EXPECT_EQ(Shown(1).answer, "name " + longest);
    EXPECT_EQ(klondike.m_entries[0]->m_name, FromUtf8(longest));

    // A longer name from an older file is offered as far as it fits, never
    // half a character; closed without OK, that is the name entered.
    const CString old = CString(31, u'a') + u"\U0001F0A1 and more";
    klondike.m_lastName = old;
    host.ClearModals();
    EXPECT_EQ(klondike.AddHiScore(10, 50), 1);
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_NAME).text, CString(31, u'a'));
    EXPECT_EQ(klondike.m_entries[0]->m_name, CString(31, u'a'));
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    EXPECT_EQ(reread.m_hiScoreTables[HISCORE_KLONDIKE].m_entries.size(), 2u);
}

TEST_F(HiScoreDialogTest, AFailedSaveIsToldBetweenTheNameAndTheList) {
    PutFile((dir / "plain").string(), {1});
    store.m_dataDir = (dir / "plain").string() + "/";
    Answer("name Dave");
    EXPECT_TRUE(klondike.AddHiScore(10, 40));
    ASSERT_EQ(host.Modals().size(), 3u);
    EXPECT_EQ(Shown(0).templateId, IDD_HISCORE_NAME);
    EXPECT_TRUE(Shown(1).isMessageBox);
    EXPECT_EQ(Shown(1).text, u"can't write scores!");
    EXPECT_EQ(Shown(2).templateId, IDD_HISCORES);
    EXPECT_EQ(List(Shown(2)).rows.at(0).at(1), u"Dave");  // still entered in memory
}

TEST_F(HiScoreDialogTest, AnotherProgramsSavedResultsAreListedAndCountedForAPlace) {
    const auto enter = [](CHiScoresDlg& table, const char16_t* name, int score) {
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = name;
        entry->m_score = score;
        table.InsertEntry(table.RankOf(score), std::move(entry));
    };
    CHiScoreStore other;
    other.m_dataDir = store.m_dataDir;
    CHiScoresDlg& theirs = other.m_hiScoreTables[HISCORE_KLONDIKE];
    enter(theirs, u"Ben", 90);
    enter(theirs, u"Ben", 60);
    ASSERT_TRUE(other.SaveHiScores());
    // Ours, entered before and not saved yet (a save that found the file busy).
    enter(klondike, u"Ann", 70);

    Answer("name Ann");
    EXPECT_TRUE(klondike.AddHiScore(10, 80));
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_PROMPT).text, Prompt(2));
    EXPECT_EQ(Scores(klondike), (std::vector<int>{90, 80, 70, 60}));
    EXPECT_EQ(List(Shown(1)).selected, 1);

    // Another save of theirs, then our list from the menu: their result is
    // in it and our lit row has gone down with it.
    theirs.m_lastName = u"Cy";
    enter(theirs, u"Cy", 100);
    ASSERT_TRUE(other.SaveHiScores());
    klondike.Show();
    ASSERT_EQ(List(Shown(2)).rows.size(), 5u);
    EXPECT_EQ(List(Shown(2)).rows[0][1], u"Cy");
    EXPECT_EQ(List(Shown(2)).selected, 2);
    // Each program offers its own player's last name; the file keeps the
    // last one saved.
    enter(store.m_hiScoreTables[HISCORE_GOLF], u"Ann", 5);
    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(klondike.m_lastName, u"Ann");
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    EXPECT_EQ(reread.m_hiScoreTables[HISCORE_KLONDIKE].m_lastName, u"Cy");
    // A damaged file leaves the list as it was.
    PutFile(ScoresFile(), {1, 2});
    klondike.Show();
    EXPECT_EQ(List(Shown(3)).rows.size(), 5u);
}

TEST_F(HiScoreDialogTest, TheListShowsPlaceNameTimeAndScore) {
    Fill(klondike, {300, 200, 100, 50});
    klondike.m_entries[0]->m_seconds = 125;
    klondike.m_entries[1]->m_seconds = 59;
    klondike.m_entries[2]->m_seconds = 0;
    klondike.m_entries[3]->m_seconds = 6000;
    klondike.DoModal();
    const ModalRecord& shown = Shown(0);
    EXPECT_EQ(shown.caption, u"Hi Scores");  // no file was opened
    const ListViewData& list = List(shown);
    ASSERT_EQ(list.columns.size(), 4u);
    EXPECT_EQ(list.columns[0].title, u"Pos");
    EXPECT_EQ(list.columns[1].title, u"Name       ");
    EXPECT_EQ(list.columns[2].title, u"Time");
    EXPECT_EQ(list.columns[3].title, u"Score");
    EXPECT_EQ(list.columns[0].width, 30);
    EXPECT_EQ(list.columns[1].width, 95);
    EXPECT_EQ(list.columns[2].width, 50);
    EXPECT_EQ(list.columns[3].width, 50);
    for (const ListViewColumn& c : list.columns) EXPECT_EQ(c.format, LVCFMT_LEFT);
    EXPECT_EQ(list.style & (LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS),
              LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    EXPECT_EQ(list.exStyle, static_cast<uint32_t>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[0], (std::vector<CString>{u"1", u"P1", u"2:05", u"300"}));
    EXPECT_EQ(list.rows[1][2], u"0:59");
    EXPECT_EQ(list.rows[2][2], u"0:00");
    EXPECT_EQ(list.rows[3], (std::vector<CString>{u"4", u"P4", u"100:00", u"50"}));
    EXPECT_EQ(list.selected, 0);  // at start-up the first row

    // Every showing builds the list anew, with the highlight of the moment.
    klondike.m_highlight = 2;
    klondike.DoModal();
    EXPECT_EQ(List(Shown(1)).columns.size(), 4u);
    EXPECT_EQ(List(Shown(1)).rows.size(), 4u);
    EXPECT_EQ(List(Shown(1)).selected, 2);
    klondike.m_highlight = 4;  // past the last row: nothing selected
    klondike.DoModal();
    EXPECT_EQ(List(Shown(2)).selected, -1);
}

TEST_F(HiScoreDialogTest, ResetAsksAndEmptiesOnlyTheEntries) {
    Fill(klondike, {300, 200});
    klondike.m_lastName = u"Eve";
    klondike.m_highlight = 1;
    klondike.m_title = u"HiScores: Solitaire";
    Answer("reset");
    Answer("no");
    Answer("ok");
    klondike.DoModal();
    EXPECT_EQ(klondike.m_entries.size(), 2u);
    EXPECT_EQ(Shown(0).text, u"Reset Hi scores??");
    EXPECT_EQ(Shown(0).type & 0xF, static_cast<unsigned>(MB_YESNO));

    Answer("reset");
    Answer("yes");
    Answer("ok");
    klondike.DoModal();
    EXPECT_TRUE(klondike.m_entries.empty());
    EXPECT_EQ(klondike.m_list.GetItemCount(), 0);  // the open list emptied too
    EXPECT_EQ(klondike.m_lastName, u"Eve");
    EXPECT_EQ(klondike.m_highlight, 1);
    EXPECT_EQ(klondike.m_title, u"HiScores: Solitaire");
}

TEST_F(HiScoreDialogTest, AResetIsSavedAtOnceOrSaysItCannotBe) {
    Fill(klondike, {300, 200});
    Fill(store.m_hiScoreTables[HISCORE_GOLF], {7});
    ASSERT_TRUE(store.SaveHiScores());
    const Bytes before = GetFile(ScoresFile());
    Answer("reset");
    Answer("no");  // nothing changes, nothing is written
    Answer("ok");
    klondike.DoModal();
    EXPECT_EQ(GetFile(ScoresFile()), before);

    Answer("reset");
    Answer("yes");
    Answer("ok");
    klondike.DoModal();
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    EXPECT_TRUE(reread.m_hiScoreTables[HISCORE_KLONDIKE].m_entries.empty());
    EXPECT_EQ(Scores(reread.m_hiScoreTables[HISCORE_GOLF]), std::vector<int>{7});

    // A reset that cannot be written says so, and the list stays open.
    Fill(klondike, {5});
    PutFile((dir / "plain").string(), {1});
    store.m_dataDir = (dir / "plain").string() + "/";
    Answer("reset");
    Answer("yes");
    Answer("ok");
    klondike.DoModal();
    EXPECT_EQ(MessageTexts().back(), u"can't write scores!");
    EXPECT_TRUE(klondike.m_entries.empty());
    EXPECT_EQ(host.Modals().back().templateId, IDD_HISCORES);
}

TEST_F(HiScoreDialogTest, TheNameDialogTakesItsControlsOnOkOnly) {
    CHiScoreNameDlg dialog;
    dialog.m_name = u"Gus";
    dialog.m_prompt = u"Which name?";
    Answer("name Hanna");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, u"Hanna");
    EXPECT_EQ(Shown(0).controls.at(IDC_HISCORE_PROMPT).text, u"Which name?");
    Answer("cancel");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_name, u"Hanna");
}

}  // namespace
