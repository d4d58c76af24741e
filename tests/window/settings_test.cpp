// The Items and Alert pages and the Alert Messages window: what the user's clicks and
// typing change, what the alert check raises, what reaches the profile and the mail.
#include "gui/alert_list.h"
#include "gui/callbacks.h"
#include "window_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace qv::test {
namespace {

using ::testing::HasSubstr;

// The text of the newest message dialog still shown, which it then closes; "" if none.
std::string take_message()
{
    std::string text;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next) {
        auto* window = static_cast<GtkWidget*>(w->data);
        if (std::string(gtk_widget_get_name(window)) != "dialogInfo" || !gtk_widget_get_visible(window)) continue;
        text = gtk_label_get_text(GTK_LABEL(lookup_widget(window, "labelInfo")));
        gtk_widget_hide(window);
    }
    g_list_free(windows);
    return text;
}

class Settings : public WindowTest {
protected:
    void show(std::vector<ItemDisplay> displays, const sim::json& board = sim::json::object())
    {
        WindowTest::show(std::move(displays), board);
        take_message();
    }
    void check() { build_Alert(myapp1, *profile_.system, displays_); }
    std::string alert_text() { return text("labelAlertMsg", mywindowAlertMessage); }
    std::string index_count() { return text("labelIndexCount", mywindowAlertMessage); }
    void type(const char* entry, const char* text) { gtk_entry_set_text(GTK_ENTRY(widget(entry)), text); }
};

TEST_F(Settings, AlertsRaiseOnChangesOnly)
{
    show({shown("CPU FAN", FAN, 3000, 0, 1000), shown("Vcore", VOLTAGE, 1100, 1400, 800),
          shown("Intrusion", SWITCH, 0)});
    EXPECT_EQ(alert_text(), "No message!");
    EXPECT_EQ(index_count(), "0/0");

    displays_[0].reading = 500;
    displays_[2].reading = 1;
    check();
    EXPECT_THAT(alert_text(), HasSubstr("This system has the health information:\n\nCPU FAN Failed(Bad)!\n"
                                        "Intrusion Failed(Bad)!\nat "));
    EXPECT_EQ(index_count(), "1/1");
    EXPECT_TRUE(gtk_widget_get_visible(mywindowAlertMessage));
    check();  // still abnormal: nothing new
    EXPECT_EQ(get_alert_msg_node_count(alert_msg_head), 1);

    displays_[0].reading = 3000;
    check();
    EXPECT_THAT(alert_text(), HasSubstr("health information:\n\nCPU FAN OK(Good)!\nat "));
    EXPECT_EQ(index_count(), "2/2");

    // An abnormal item switched off and on again is reported again.
    displays_[2].monitor = 0;
    check();
    displays_[2].monitor = 1;
    check();
    EXPECT_EQ(index_count(), "3/3");
}

TEST_F(Settings, TwoItemsAbnormalFromTheStartGiveOneMessage)
{
    show({shown("CPU FAN", FAN, 500, 0, 1000), shown("Vcore", VOLTAGE, 1100, 1400, 800), shown("Hot", TEMP, 90, 75)});
    EXPECT_THAT(alert_text(), HasSubstr("\n\nCPU FAN Failed(Bad)!\nHot Failed(Bad)!\nat "));
    EXPECT_EQ(index_count(), "1/1");
    EXPECT_TRUE(gtk_widget_get_visible(mywindowAlertMessage));

    // Nothing is watched: nothing is raised, whatever the readings do.
    gtk_button_clicked(GTK_BUTTON(widget("buttonUnselectAll")));
    displays_[1].reading = 0;
    displays_[2].reading = 40;
    check();
    EXPECT_EQ(index_count(), "1/1");
}

TEST_F(Settings, TheAlertMessagesWindowPagesAcknowledgesAndShowsBesideTheMainWindow)
{
    show({shown("CPU FAN", FAN, 3000, 0, 1000)});
    displays_[0].reading = 500;
    check();
    displays_[0].reading = 3000;
    check();
    struct Step { const char* button; const char* index_count; const char* text; };
    const Step steps[] = {
        {"buttonUp", "1/2", "Failed(Bad)!"},   {"buttonUp", "1/2", "Failed(Bad)!"},
        {"buttonDown", "2/2", "OK(Good)!"},    {"buttonDown", "2/2", "OK(Good)!"},
        {"buttonUp", "1/2", "Failed(Bad)!"},   {"buttonAcknowledge", "1/1", "OK(Good)!"},
        {"buttonAcknowledge", "0/0", "No message!"}, {"buttonAcknowledge", "0/0", "No message!"},
    };
    for (const Step& s : steps) {
        gtk_button_clicked(GTK_BUTTON(widget(s.button, mywindowAlertMessage)));
        EXPECT_EQ(index_count(), s.index_count) << s.button;
        EXPECT_THAT(alert_text(), HasSubstr(s.text)) << s.button;
    }
    gtk_button_clicked(GTK_BUTTON(widget("buttonDismiss", mywindowAlertMessage)));
    EXPECT_FALSE(gtk_widget_get_visible(mywindowAlertMessage));

    // Shown again, beside the main window.
    gtk_button_clicked(GTK_BUTTON(widget("buttonShowAlertMessage")));
    EXPECT_TRUE(gtk_widget_get_visible(mywindowAlertMessage));
    settle();
    gint x = 0, y = 0;
    gtk_window_get_position(GTK_WINDOW(mywindowAlertMessage), &x, &y);
    EXPECT_EQ(x, myapp1->allocation.x + myapp1->allocation.width + 12);
    EXPECT_EQ(y, myapp1->allocation.y + myapp1->allocation.height - 200);
}

TEST_F(Settings, MoreChangesThanAMessageHoldsArriveAtTheNextCheck)
{
    std::vector<ItemDisplay> displays;
    for (int i = 0; i < 40; ++i)
        displays.push_back(shown(("A rather long voltage name " + std::to_string(i)).c_str(), VOLTAGE, 0, 1400, 800));
    show(displays);  // the first fill raises what fits, each check after it the rest
    for (int tick = 0; tick < 10; ++tick) check();
    int reported = 0;
    for (AlertMsgNode* n = alert_msg_head->next; n != nullptr; n = n->next) {
        EXPECT_LT(std::strlen(n->text), 512u);
        for (const char* p = n->text; (p = std::strstr(p, "Failed(Bad)!")) != nullptr; ++p) ++reported;
    }
    EXPECT_EQ(reported, 40);
}

TEST_F(Settings, ItemsPageSwitchesMonitoringInBothPlacesAndSavesIt)
{
    show({shown("Twin", FAN, 3000, 0, 1000), shown("Other", FAN, 3100, 0, 1000), shown("Twin", FAN, 3200, 0, 1000)});
    GtkTreeView* view = GTK_TREE_VIEW(widget("treeview1"));
    GtkTreePath* path = gtk_tree_path_new_from_indices(2, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(view), path);
    gtk_tree_view_row_activated(view, path, nullptr);
    gtk_tree_path_free(path);
    EXPECT_EQ(profile_.items[0].Monitor, 0) << "the first of that name";
    EXPECT_EQ(displays_[0].monitor, 0);
    EXPECT_EQ(displays_[2].monitor, 1);

    gtk_button_clicked(GTK_BUTTON(widget("buttonUnselectAll")));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(profile_.items[i].Monitor, 0);
        EXPECT_EQ(displays_[i].monitor, 0);
    }
    EXPECT_FALSE(visible("labelSummaryFan"));
    EXPECT_FALSE(visible("curveFan0"));
    gtk_button_clicked(GTK_BUTTON(widget("buttonItemsSave")));
    EXPECT_EQ(take_message(), "Configuration has been saved.");
    const std::string saved = read("/etc/Quorvel.ini");
    std::string expected = read("/etc/Quorvel.ini.old");
    for (std::size_t at; (at = expected.find("MONITOR=TRUE")) != std::string::npos;)
        expected.replace(at, 12, "MONITOR=FALSE");
    EXPECT_EQ(saved, expected);

    gtk_button_clicked(GTK_BUTTON(widget("buttonSelectAll")));
    EXPECT_EQ(displays_[1].monitor, 1);
    EXPECT_EQ(text("labelSummaryFan2"), "Twin");
    type("entryRecipientMailbox", "root;reboot");
    gtk_button_clicked(GTK_BUTTON(widget("buttonAlertSave")));
    EXPECT_EQ(take_message(), "'Recipients' must be mail addresses separated by blanks!");
    EXPECT_EQ(read("/etc/Quorvel.ini"), saved) << "refused before anything is stored";
}

TEST_F(Settings, PollingIntervalTakesOneToThreeHundred)
{
    show({shown("Fan", FAN, 3000, 0, 1000)});
    const int first = timer;
    type("entryPolling", "1");
    EXPECT_EQ(profile_.system->Polling, 1u);
    EXPECT_NE(timer, first) << "the timer is replaced";
    type("entryPolling", "12");
    EXPECT_EQ(profile_.system->Polling, 12u);
    type("entryPolling", "");
    EXPECT_EQ(profile_.system->Polling, 12u);
    for (const char* bad : {"301", "abc", "-5", "1.5"}) {
        type("entryPolling", bad);
        EXPECT_EQ(take_message(), "Please enter an integer between 1 and 300.") << bad;
        EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(widget("entryPolling"))), std::string("0")) << bad;
        EXPECT_EQ(profile_.system->Polling, 12u) << bad;
    }
    updateAll(nullptr);
    EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(widget("entryPolling"))), std::string("12"));
}

TEST_F(Settings, EmailAlertNeedsANameAndPlainRecipients)
{
    show({shown("Fan", FAN, 3000, 0, 1000)});
    GtkToggleButton* check = GTK_TOGGLE_BUTTON(widget("checkbuttonMailAlert"));
    struct Case { const char* name; const char* recipients; const char* refusal; };
    const Case cases[] = {
        {"", "root", "'Name for this system' must be filled!"},
        {"web01", "", "'Recipients' must be filled!"},
        {"web01", "a@b.c; reboot", "'Recipients' must be mail addresses separated by blanks!"},
        {"web01", "root ops@example.org", ""},
    };
    for (const Case& c : cases) {
        type("entryMachineName", c.name);
        type("entryRecipientMailbox", c.recipients);
        gtk_toggle_button_set_active(check, TRUE);
        EXPECT_EQ(take_message(), c.refusal) << c.recipients;
        EXPECT_EQ(gtk_toggle_button_get_active(check), c.refusal[0] == '\0') << c.recipients;
        EXPECT_EQ(profile_.system->MailAlert, c.refusal[0] == '\0' ? 1 : 0) << c.recipients;
        gtk_toggle_button_set_active(check, FALSE);
    }
    EXPECT_STREQ(profile_.system->MachineName, "web01");
    EXPECT_EQ(profile_.system->MailAlert, 0);

    type("entryRecipientMailbox", "$(id)");
    gtk_button_clicked(GTK_BUTTON(widget("buttonMailTest")));
    EXPECT_EQ(take_message(), "'Recipients' must be mail addresses separated by blanks!");
    EXPECT_EQ(read("/var/mail/outbox"), "") << "nothing ran";
    EXPECT_EQ(read("/tmp/QuorvelMailAlert"), "");
}

TEST_F(Settings, TheTestMailConfirms)
{
    show({shown("CPU FAN", FAN, 3000, 0, 1000)});
    type("entryMachineName", "web01");
    type("entryRecipientMailbox", "root");
    gtk_button_clicked(GTK_BUTTON(widget("buttonMailTest")));
    EXPECT_EQ(take_message(), "Send an alert through E-mail successfully.");
    EXPECT_THAT(read("/var/mail/outbox"), HasSubstr("Subject: Alert: E-mail Test!"));
}

TEST_F(Settings, AFailedSaveSaysSoAndEndsTheWindow)
{
    show({shown("Fan", FAN, 3000, 0, 1000)}, {{"filesystem", {{"read_only", {"/etc"}}}}});
    const std::string before = read("/etc/Quorvel.ini");
    g_idle_add([](gpointer) -> gboolean {
        gtk_button_clicked(GTK_BUTTON(lookup_widget(myapp1, "buttonItemsSave")));
        return FALSE;
    }, nullptr);
    testing::internal::CaptureStdout();
    gtk_main();  // left by the failed save
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "on_buttonSaveItems_clicked(): fopen(QUORVEL_INI) error!\n");
    EXPECT_EQ(read("/etc/Quorvel.ini"), before);
}

}  // namespace
}  // namespace qv::test
