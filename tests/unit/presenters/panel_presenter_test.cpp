// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/panel_presenter.h"

#include "fakes.h"
#include "model/encodings.h"
#include "store/element_database.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using F = ElementKey;

const QByteArray kDecoder =
    "[00A0C9000001]\r\nNAME=DEC 1\r\nIP=127.0.0.1\r\nMASK=255.255.0.0\r\nGW=10.0.0.1\r\n"
    "REMOTE=10.0.0.11\r\nINPUT=0\r\nTYPE=0\r\nTX=1\r\nROLE=2\r\nSN=100307\r\nVER=3.5\r\n"
    "SFN=0\r\nBUF=3\r\nATT=235\r\nSDM=0\r\nSDL=37\r\nSDT=43\r\n";

// The panel's fields as plain values.
class FakeFields : public PanelFields {
public:
    ConfigurationWrite shownElement() const override { return shown; }
    QString fieldCaption(ElementKey field) const override {
        return field == F::Name ? u"System name"_s : u"Audio routing"_s;
    }
    QStringList fieldEntries(ElementKey field) const override {
        return field == F::Sdm ? QStringList{u"Auto detect"_s, u"Force internal"_s, u"Force external"_s}
                               : QStringList{};
    }
    ConfigurationWrite shown;
};

struct Rig {
    explicit Rig(const QByteArray &ini = kDecoder) : database(folder.filePath(u"nms.ini"_s)) {
        QFile file(folder.filePath(u"nms.ini"_s));
        file.open(QIODevice::WriteOnly);
        file.write(ini);
        fields.shown.mac = u"00:A0:C9:00:00:01"_s;
        fields.shown.role = ElementRole::Decoder;
        fields.shown.name = u"DEC 1"_s;
        fields.shown.sdm = 0;
    }
    QByteArray iniBytes() const {
        QFile file(folder.filePath(u"nms.ini"_s));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir folder;
    testing::RecordingNotifier notifier;
    ElementDatabase database;
    FakeFields fields;
    PanelPresenter presenter{database, notifier, fields, 10};
};

TEST(PanelPresenter, LoadingCorrectsOutOfRangeLevelsOnlyAndRefusesAMissingOrImplausibleSection) {
    Rig rig;
    EXPECT_EQ(rig.presenter.load(u"00:A0:C9:00:00:01"_s, {}), PanelPresenter::Load::Ignored);
    EXPECT_EQ(rig.presenter.load(u"00:A0:C9:00:00:01"_s, u"DEC 1"_s), PanelPresenter::Load::Loaded);
    EXPECT_EQ(rig.iniBytes(), kDecoder); // values in range are not written back
    EXPECT_EQ(rig.presenter.element()->record().att, 235);
    EXPECT_EQ(rig.presenter.load(u"00:A0:C9:00:00:09"_s, u"GONE"_s), PanelPresenter::Load::Missing);
    EXPECT_TRUE(rig.notifier.messages.isEmpty());

    Rig odd(QByteArray(kDecoder)
                .replace("ATT=235", "ATT=0")
                .replace("SDL=37", "SDL=200")
                .replace("BUF=3", "BUF"));
    EXPECT_EQ(odd.presenter.load(u"00:A0:C9:00:00:01"_s, u"DEC 1"_s), PanelPresenter::Load::Loaded);
    QStringList stored;
    for (const QString &key : {u"att"_s, u"sdl"_s, u"buf"_s})
        stored << odd.database.read(u"00A0C9000001"_s, key, u"none"_s);
    EXPECT_EQ(stored.join(u' '), u"14 154 none"_s);

    // One key more than the 17 of a decoder: refused with its message, and nothing is written.
    Rig eighteen(kDecoder + "BOUND=0\r\nATT=0\r\n");
    EXPECT_EQ(eighteen.presenter.load(u"00:A0:C9:00:00:01"_s, u"DEC 1"_s), PanelPresenter::Load::Refused);
    EXPECT_EQ(eighteen.notifier.ids(), QList<MessageId>{MessageId::SectionNotLoaded});
    EXPECT_EQ(eighteen.iniBytes(), kDecoder + "BOUND=0\r\nATT=0\r\n");
}

TEST(PanelPresenter, TheRoleChoosesTheLayoutAndTheTxTypeTheRemoteAddress) {
    Rig rig;
    EXPECT_TRUE(rig.presenter.setShownRole(ElementRole::Encoder));
    EXPECT_FALSE(rig.presenter.setShownRole(ElementRole::Encoder));
    EXPECT_TRUE(rig.presenter.encoderLayout());
    EXPECT_EQ(std::pair(rig.presenter.remoteAddressShown(0), rig.presenter.remoteAddressShown(1)),
              std::pair(true, false));
    for (const std::optional<ElementRole> role :
         {std::optional(ElementRole::Decoder), std::optional(ElementRole::Unknown),
          std::optional<ElementRole>()}) {
        rig.presenter.setShownRole(role);
        EXPECT_FALSE(rig.presenter.encoderLayout());
    }
    EXPECT_EQ(std::pair(PanelPresenter::silenceLevelsUsed(0), PanelPresenter::silenceLevelsUsed(1)),
              std::pair(true, false));
}

TEST(PanelPresenter, OnlyTheOperatorsMovesOfTheAttenuationOnADecoderAreSentAndATurnOnceItRests) {
    Rig rig;
    QSignalSpy chosen(&rig.presenter, &PanelPresenter::attenuationChosen);
    rig.presenter.setShownRole(ElementRole::Decoder);
    rig.presenter.attenuationChanged(100, false, false); // set by code
    rig.presenter.attenuationChanged(101, false, true);
    EXPECT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 101);

    rig.presenter.attenuationChanged(102, true, false);
    rig.presenter.attenuationChanged(103, true, false);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_TRUE(chosen.wait(200));
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 103);
    EXPECT_FALSE(chosen.wait(50)); // once per turn

    // A turn not rested yet is sent when flushed; a move by code replaces it unsent.
    rig.presenter.attenuationChanged(104, true, false);
    rig.presenter.flushAttenuationTurn();
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 104);
    rig.presenter.attenuationChanged(105, true, false);
    rig.presenter.attenuationChanged(106, false, false);
    EXPECT_FALSE(chosen.wait(50));

    rig.presenter.setShownRole(ElementRole::Encoder);
    rig.presenter.attenuationChanged(107, false, true);
    rig.presenter.attenuationChanged(108, true, false);
    EXPECT_FALSE(chosen.wait(50));
}

TEST(PanelPresenter, EditsAreTheFieldsChangedSinceLoadedOrConfirmedAndTheSummaryNamesThem) {
    Rig rig;
    EXPECT_TRUE(rig.presenter.pendingEditSummary().isEmpty()); // nothing loaded
    rig.presenter.editsLoaded();
    EXPECT_FALSE(rig.presenter.hasPendingEdits());
    rig.fields.shown.name = u"STUDIO "_s;
    rig.fields.shown.sdm = 2;
    EXPECT_EQ(rig.presenter.changedFields(), (QList<F>{F::Name, F::Sdm}));
    EXPECT_EQ(rig.presenter.pendingEditSummary(),
              (QStringList{u"DEC 1"_s, u"00:A0:C9:00:00:01"_s, u"System name: DEC 1 → STUDIO"_s,
                           u"Audio routing: Auto detect → Force external"_s}));
    EXPECT_EQ(rig.presenter.changedTip(F::Sdm), u"Changed; was Auto detect"_s);
    rig.fields.shown.sdm = 7;
    EXPECT_EQ(rig.presenter.pendingEditSummary().constLast(), u"Audio routing: Auto detect → (none)"_s);
    // A bar reads as its position's text, a check box as checked or not.
    rig.fields.shown.sdm = 0;
    const int buffer = rig.fields.shown.buf;
    rig.fields.shown.buf = buffer + 1;
    rig.fields.shown.sfn = !rig.fields.shown.sfn;
    const auto checked = [](bool on) { return on ? u"checked"_s : u"unchecked"_s; };
    EXPECT_EQ(rig.presenter.pendingEditSummary().mid(3),
              (QStringList{u"Audio routing: %1 → %2"_s.arg(checked(!rig.fields.shown.sfn),
                                                           checked(rig.fields.shown.sfn)),
                           u"Audio routing: %1 → %2"_s.arg(bufferText(buffer), bufferText(buffer + 1))}));

    // A report's values are the element's own, except the fields it did not confirm.
    rig.presenter.editsConfirmed({ElementKey::Name});
    EXPECT_EQ(rig.presenter.changedFields(), QList<F>{F::Name});
    QSignalSpy discarded(&rig.presenter, &PanelPresenter::editsDiscarded);
    rig.presenter.discardPendingEdits();
    EXPECT_EQ(std::pair(rig.presenter.hasPendingEdits(), discarded.size()), std::pair(false, qsizetype{1}));
    rig.fields.shown.name = u"X"_s;
    rig.presenter.clearEdits();
    EXPECT_TRUE(rig.presenter.pendingEditSummary().isEmpty());
}

TEST(PanelPresenter, ARefusedSaveFocusesTheFirstReachableFieldTheLinksRefusalNames) {
    const auto reachable = [](ElementKey field) { return field != F::Remote; };
    EXPECT_EQ(PanelPresenter::refusedFocus({F::Remote, F::Gw}, reachable), F::Gw);
    EXPECT_EQ(PanelPresenter::refusedFocus({F::Remote}, reachable), std::nullopt);
    EXPECT_EQ(PanelPresenter::refusedFocus({}, reachable), std::nullopt);
}

} // namespace
} // namespace ondalink
