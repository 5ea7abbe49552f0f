#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "tests/platform/test_view.h"

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { InstallTestResources(); }
    void Answer(const std::string& line) {
        ModalAnswer answer;
        ASSERT_TRUE(ModalAnswer::Parse(line, &answer)) << line;
        host.QueueAnswer(answer);
    }
    HeadlessHost host;
};

}  // namespace

TEST_F(DialogTest, OkExchangesTextNumberAndRadioBackIntoTheFields) {
    CTestDialog dialog;
    Answer("values Zoë 12 ignored");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, u"Zoë");
    EXPECT_EQ(dialog.m_number, 12);
    EXPECT_EQ(dialog.m_choice, 1);
    ASSERT_EQ(host.Modals().size(), 1u);
    const ModalRecord& shown = host.Modals()[0];
    EXPECT_EQ(shown.templateId, IDD_TEST);
    EXPECT_EQ(shown.caption, u"Test dialog");  // as set by OnInitDialog
    EXPECT_EQ(shown.controls.at(IDC_TEST_NAME).text, u"Alice");
    EXPECT_EQ(shown.controls.at(IDC_TEST_NUMBER).text, u"5");
    EXPECT_TRUE(shown.controls.at(IDC_TEST_RADIO + 1).checked);
    EXPECT_EQ(shown.controls.at(IDC_TEST_LIST).list.selected, 1);
    EXPECT_EQ(shown.controls.at(IDC_TEST_LIST).list.rows[1][1], u"Carol");
    EXPECT_EQ(shown.answer, "values Zoë 12 ignored");
}

TEST_F(DialogTest, RadioChoiceAndCancelKeepsTheFields) {
    CTestDialog dialog;
    Answer("choice 2");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_choice, 2);
    Answer("cancel");
    dialog.m_choice = 0;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_choice, 0);
    EXPECT_EQ(CTestDialog().DoModal(), IDCANCEL);  // nothing queued: closed without OK
    EXPECT_EQ(host.Modals().back().answer, "cancel");
}

TEST_F(DialogTest, RefusedValuesKeepTheDialogOpenWithTheStandardMessages) {
    CTestDialog dialog;
    Answer("values Bob 1x 0");  // not a number
    Answer("ok");               // the message box
    Answer("values Bob 17 0");  // out of range
    Answer("ok");
    Answer("values Bob 16 0");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_number, 16);
    ASSERT_EQ(host.Modals().size(), 3u);
    EXPECT_TRUE(host.Modals()[0].isMessageBox);
    EXPECT_EQ(host.Modals()[0].text, u"Enter an integer.");
    EXPECT_EQ(host.Modals()[1].text, u"Enter an integer between 2 and 16.");
    EXPECT_FALSE(host.Modals()[2].isMessageBox);
}

TEST_F(DialogTest, AButtonActsOnTheOpenDialogAndEachShowingStartsAfresh) {
    CTestDialog dialog;
    Answer("reset");  // no Reset button here: nothing happens, the dialog stays
    Answer("ok");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    dialog.ClickButton(IDC_TEST_CLEAR);  // the list is the dialog's, still attached
    EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
    Answer("ok");
    dialog.DoModal();
    EXPECT_EQ(dialog.m_list.GetItemCount(), 2);  // rebuilt by the next showing
    EXPECT_EQ(dialog.m_list.GetItemText(0, 1), u"Bob");
}

TEST_F(DialogTest, MessageBoxesTakeQueuedAnswersOrTheirDefaults) {
    EXPECT_EQ(AfxMessageBox(u"Start new game?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox(u"can't write scores!"), IDOK);
    Answer("yes");
    EXPECT_EQ(AfxMessageBox(u"Again?", MB_YESNO), IDYES);
    ASSERT_EQ(host.Modals().size(), 3u);
    EXPECT_EQ(host.Modals()[0].answer, "no");
    EXPECT_EQ(host.Modals()[1].answer, "ok");
    EXPECT_EQ(host.Modals()[2].answer, "yes");
    EXPECT_EQ(host.Modals()[2].text, u"Again?");
}

TEST(ModalAnswers, ParseTheScriptForms) {
    ModalAnswer a;
    ASSERT_TRUE(ModalAnswer::Parse("name Jan de Vries", &a));
    EXPECT_EQ(a.text, u"Jan de Vries");
    ASSERT_TRUE(ModalAnswer::Parse("name", &a));
    EXPECT_EQ(a.text, u"");
    EXPECT_EQ(a.ToString(), "name");
    // The ball board's three boxes, or the deal's one.
    ASSERT_TRUE(ModalAnswer::Parse("values 4294967295", &a));
    EXPECT_EQ(a.ToString(), "values 4294967295");
    EXPECT_FALSE(ModalAnswer::Parse("values", &a));
    EXPECT_FALSE(ModalAnswer::Parse("values 1 2 3 4", &a));
    EXPECT_FALSE(ModalAnswer::Parse("choice", &a));
    EXPECT_FALSE(ModalAnswer::Parse("maybe", &a));
    EXPECT_FALSE(ModalAnswer::Parse("yes please", &a));
}
