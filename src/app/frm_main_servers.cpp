// The server list on the left of the main window, and the selection of one server.
#include "app/frm_main.h"

#include "herald/server_entries.h"
#include "platform/files.h"
#include "runtime/conversions.h"
#include "runtime/error_handler.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

constexpr forms::Colour kLampUp = forms::rgb(0, 255, 0);
constexpr forms::Colour kLampDown = forms::rgb(255, 0, 0);

forms::Font linkFont() {
    forms::Font font = forms::boldFont(8);
    font.underline = true;
    return font;
}

}  // namespace

void frmMain::LoadXML() {
    const std::optional<std::string> text = platform::readWholeFile(AppPath + platform::kStatusFile);
    if (!text) throw RuntimeError(kErrFileNotFound);
    XMLData = *text;
    LoadServers();
}

void frmMain::placePopulation(int row) {
    lblPopSize[row].setLeft(lblServers[row].left() + lblServers[row].width() + 50);
}

void frmMain::LoadServers() { m_rebuilds.askForList(); }

void frmMain::rebuildServerList() {
    withErrorHandler(
        "LoadServers",
        [&] {
            // A download may replace XMLData while a message box of this build is open.
            const std::string document = XMLData;
            forms::Label& first = lblServers[0];
            first.setFont(linkFont());
            first.setForeColor(forms::kLinkBlue);
            first.setMousePointer(forms::kCustomPointer);
            first.setToolTipText("Click for server info");
            for (int i = lblServers.ubound(); i >= 1; --i) {
                lblServers.unload(i);
                shpServerUp.unload(i);
                lblPopSize.unload(i);
            }
            first.setCaption("");

            for (const ServerEntry& entry : readServerEntries(document)) {
                const int n = lblServers.ubound();
                shpServerUp[n].setFillColor(entry.status == "Up" ? kLampUp : kLampDown);
                lblPopSize[n].setCaption("(" + entry.population + ")");
                if (n > 0) {
                    lblServers[n].setTop(lblServers[n - 1].top() + lblServers[n - 1].height() + 20);
                    lblPopSize[n].setTop(lblServers[n].top());
                    shpServerUp[n].setTop(lblServers[n].top() + 60);
                }
                lblServers[n].setCaption(entry.name);
                placePopulation(n);
                for (forms::Control* c : {static_cast<forms::Control*>(&lblServers[n]),
                                          static_cast<forms::Control*>(&lblPopSize[n]),
                                          static_cast<forms::Control*>(&shpServerUp[n])}) {
                    // Loaded rows come hidden and behind the rows designed before them.
                    if (n > 0) c->bringToFront();
                    c->setVisible(true);
                }
                lblServers.load(n + 1);
                shpServerUp.load(n + 1);
                lblPopSize.load(n + 1);
            }

            const int last = lblServers.ubound();
            if (last > 0) {
                lblPopSize.unload(last);
                shpServerUp.unload(last);
                lblServers.unload(last);
            } else {
                lblServers[0].setVisible(false);
                shpServerUp[0].setVisible(false);
                lblPopSize[0].setVisible(false);
            }

            for (int i = 0; i <= lblServers.ubound(); ++i) {
                if (lblServers[i].caption() == lblServerName.caption()) {
                    m_rebuilds.selectFromList([&] { lblServers_Click(i); });
                    return;
                }
            }
            ClearPanel();
        },
        "\r\nTry reloading the info,\r\nif that doesn't work, e-mail me");
}

void frmMain::lblServers_Click(int Index) {
    const std::string previousTag = lblServers[0].tag();
    if (!previousTag.empty()) {
        const int previous = toInt16(previousTag);
        if (previous != Index && lblServers.exists(previous)) {
            // The previous row takes the link look back from a row that still has it.
            const int model = previous == 0 ? 1 : 0;
            if (lblServers.exists(model)) {
                forms::Label& from = lblServers[model];
                forms::Label& to = lblServers[previous];
                to.setForeColor(from.foreColor());
                to.setToolTipText(from.toolTipText());
                to.setFont(from.font());
            }
            lblServers[previous].setMousePointer(forms::kCustomPointer);
        }
    }
    forms::Label& selected = lblServers[Index];
    selected.setForeColor(forms::rgb(0, 0, 0));
    selected.setMousePointer(forms::kDefaultPointer);
    selected.setToolTipText("");
    selected.setFont(lblUpdate.font());
    lblServerName.setCaption(selected.caption());
    lblServerName.setVisible(true);
    lblServers[0].setTag(std::to_string(Index));
    LoadInfo(selected.caption());
}

}  // namespace tw
