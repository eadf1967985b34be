// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the properties panel: names, captions, ranges, list entries and arrangement.
#include "console/widgets/properties_panel.h"

#include "console/widgets/attenuation_bar.h"
#include "console/widgets/focus_scroll_bar.h"
#include "console/widgets/form_helpers.h"

#include "model/element_fields.h"
#include "model/encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <iterator>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr int kNameMaxLength = 16;
constexpr int kAddressMaxLength = 15;

template <typename W> W *named(W *widget, const QString &objectName) {
    widget->setObjectName(objectName);
    return widget;
}

QLabel *caption(const QString &text, QWidget *parent, const QString &objectName = {}) {
    auto *label = new QLabel(text, parent);
    if (!objectName.isEmpty())
        label->setObjectName(objectName);
    return label;
}

// The caption names the field for keyboard and screen-reader users: "VLAN &O&&M:" reads "VLAN O&M".
void describe(QLabel *label, QWidget *field) {
    label->setBuddy(field);
    QString name = withoutMnemonic(label->text());
    if (name.endsWith(QChar(u':')))
        name.chop(1);
    field->setAccessibleName(name);
}

QLineEdit *textBox(const QString &objectName, int maxLength, QWidget *parent) {
    auto *box = named(new QLineEdit(parent), objectName);
    box->setMaxLength(maxLength);
    // Wide enough for a full address or name without scrolling.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(maxLength, QChar(u'W'))) * 3 / 4 + 12);
    return box;
}

QComboBox *listBox(const QString &objectName, std::initializer_list<QString> entries, QWidget *parent) {
    auto *box = named(new QComboBox(parent), objectName);
    for (const QString &entry : entries)
        box->addItem(entry);
    box->setCurrentIndex(-1);
    return box;
}

template <typename Bar = FocusScrollBar>
Bar *scrollBar(const QString &objectName, int minimum, int maximum, int value, int pageStep,
               QWidget *parent) {
    auto *bar = named(new Bar(Qt::Horizontal, parent), objectName);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    // Scroll bars take no focus by default; here they are input controls like any other.
    bar->setFocusPolicy(Qt::StrongFocus);
    // Right arrow and wheel up raise the value, as the thumb moves right.
    bar->setInvertedControls(false);
    bar->setMinimumWidth(140);
    return bar;
}

// A value label keeps its own text as its accessible name, so it is never given a fixed one. It is as
// wide as its widest value, found by measuring them all: which one that is depends on the font and on the
// translation ("Mute" is not the widest attenuation), and a label that grew with its value would move
// its row. Advances are cheap; the label itself sizes only the widest.
QLabel *valueLabel(const QString &objectName, const QString &text, QString (*textAt)(int, const QLocale &),
                   int first, int last, QWidget *parent) {
    auto *label = named(new QLabel(parent), objectName);
    const QFontMetrics metrics = label->fontMetrics();
    QString widest;
    int widestAdvance = -1;
    for (int position = first; position <= last; ++position) {
        const QString candidate = textAt(position, QLocale());
        if (const int advance = metrics.horizontalAdvance(candidate); advance > widestAdvance) {
            widest = candidate;
            widestAdvance = advance;
        }
    }
    label->setText(widest);
    const int width = label->minimumSizeHint().width();
    label->setText(text);
    label->setMinimumWidth(std::max(width, label->minimumSizeHint().width()));
    return label;
}

QLabel *readOnlyField(const QString &objectName, QWidget *parent) {
    auto *label = named(new QLabel(QString::fromUtf16(kNoSelection), parent), objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void addRow(QGridLayout *grid, QLabel *label, QWidget *field, QWidget *value = nullptr) {
    const int row = grid->rowCount();
    // Rows keep their height while the layout by type hides their fields, so nothing jumps.
    grid->setRowMinimumHeight(row, QLineEdit().sizeHint().height());
    grid->addWidget(label, row, 0);
    if (value) {
        grid->addWidget(field, row, 1);
        grid->addWidget(value, row, 2);
    } else {
        grid->addWidget(field, row, 1, 1, 2);
    }
}

QGridLayout *formGrid(QWidget *owner) {
    auto *grid = new QGridLayout(owner);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    return grid;
}

} // namespace

void PropertiesPanel::buildControls() {
    setObjectName(u"frmProperties"_s);
    setTitle(tr("Element properties:"));

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(buildIdentityRow());
    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    auto *columns = new QHBoxLayout;
    columns->setSpacing(24);
    columns->addWidget(buildNetworkColumn(), 1);
    columns->addWidget(buildAudioColumn(), 1);
    outer->addLayout(columns);
    outer->addStretch(1);

    // Tab follows the columns top to bottom, whatever order the controls were made in.
    QWidget *const chain[] = {txtElementName, txtElementIP,  txtElementMask, txtElementGW,  txtRemoteIP,
                              txtVLAN_OM,     txtVLAN_Audio, cmbAudioType,   cmbAudioInput, scrlAtten,
                              cmbAudioTX,     cmbSilDetMode, chkSFNEnabled,  scrlBuffer,    scrlSilDetLevel,
                              scrlSilDetTime, cmbEncoders};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

QWidget *PropertiesPanel::buildIdentityRow() {
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    lblElementType = readOnlyField(u"lblElementType"_s, box);
    lblElementMAC = readOnlyField(u"lblElementMAC"_s, box);
    lblSerialNumber = readOnlyField(u"lblSerialNumber"_s, box);
    lblVersion = readOnlyField(u"lblVersion"_s, box);
    QFont strong = lblElementType->font();
    strong.setBold(true);
    for (QLabel *field : {lblElementType, lblElementMAC, lblSerialNumber, lblVersion})
        field->setFont(strong);

    // Each caption labels its value for screen readers; the value keeps its text as its name.
    const auto captionOf = [box](QLabel *value, const QString &text, const QString &objectName) {
        QLabel *label = caption(text, box, objectName);
        label->setBuddy(value);
        return label;
    };
    grid->addWidget(captionOf(lblElementType, tr("System type:"), u"lblTypeCaption"_s), 0, 0);
    grid->addWidget(lblElementType, 0, 1);
    grid->addWidget(captionOf(lblElementMAC, tr("MAC address:"), u"lblMACCaption"_s), 0, 2);
    grid->addWidget(lblElementMAC, 0, 3);
    grid->addWidget(captionOf(lblSerialNumber, tr("Serial number:"), u"lblSerialCaption"_s), 1, 0);
    grid->addWidget(lblSerialNumber, 1, 1);
    grid->addWidget(captionOf(lblVersion, tr("DSP version:"), u"lblVersionCaption"_s), 1, 2);
    grid->addWidget(lblVersion, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget *PropertiesPanel::buildNetworkColumn() {
    auto *box = new QWidget(this);
    QGridLayout *grid = formGrid(box);
    const QString maxChars = tr("Max 16 chars");

    txtElementName = textBox(u"txtElementName"_s, kNameMaxLength, box);
    txtElementName->setToolTip(maxChars);
    txtElementIP = textBox(u"txtElementIP"_s, kAddressMaxLength, box);
    txtElementMask = textBox(u"txtElementMask"_s, kAddressMaxLength, box);
    txtElementGW = textBox(u"txtElementGW"_s, kAddressMaxLength, box);
    txtRemoteIP = textBox(u"txtRemoteIP"_s, kAddressMaxLength, box);
    txtVLAN_OM = textBox(u"txtVLAN_OM"_s, kNameMaxLength, box);
    txtVLAN_Audio = textBox(u"txtVLAN_Audio"_s, kNameMaxLength, box);
    // The element has no VLAN setting: nothing typed here would be sent or stored.
    for (QLineEdit *vlan : {txtVLAN_OM, txtVLAN_Audio}) {
        vlan->setReadOnly(true);
        vlan->setToolTip(tr("Not used by the element"));
        vlan->setAccessibleDescription(
            tr("Not used by the element: this setting is neither sent nor stored"));
    }

    const std::initializer_list<std::pair<QString, QLineEdit *>> rows = {
        {tr("System &name:"), txtElementName},  {tr("&System IP:"), txtElementIP},
        {tr("Networ&k mask:"), txtElementMask}, {tr("&Gateway IP:"), txtElementGW},
        {tr("&Remote IP:"), txtRemoteIP},       {tr("VLAN &O&&M:"), txtVLAN_OM},
        {tr("A&udio:"), txtVLAN_Audio},
    };
    for (const auto &[text, field] : rows) {
        QLabel *label = caption(text, box);
        if (field == txtRemoteIP)
            m_encoderOnly.append(label);
        describe(label, field);
        addRow(grid, label, field);
        if (field == txtRemoteIP) // the listed element at the remote address (RemoteElementName)
            grid->addWidget(caption(QString(), box, u"lblRemoteElement"_s), grid->rowCount(), 1, 1, 2);
    }
    // An address that is not one is said in words beside its box, as well as by its colour.
    for (QLineEdit *address : {txtElementIP, txtElementMask, txtElementGW, txtRemoteIP}) {
        auto *hint =
            named(new QLabel(tr("Not a valid IPv4 address"), box), address->objectName() + u"Hint"_s);
        // Hidden, it takes no room: the panel keeps its minimum width while every address is one.
        // Typing an address shows it once, at the first character, and hides it once, when complete.
        // A little beyond the text's measure, which falls short of its drawing at some scales.
        hint->setMinimumWidth(hint->fontMetrics().horizontalAdvance(hint->text() + u"  "_s));
        hint->hide();
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(address), &row, &column, &rowSpan, &columnSpan);
        grid->addWidget(hint, row, 3);
        m_addressHints.append({address, hint});
    }
    // The VLAN boxes' caption says "Audio:" only; their accessible name says what they are.
    txtVLAN_Audio->setAccessibleName(tr("VLAN Audio"));
    keepRoomWhenHidden({m_encoderOnly.constLast(), txtRemoteIP});
    grid->setRowStretch(grid->rowCount(), 1);
    return box;
}

QWidget *PropertiesPanel::buildAudioColumn() {
    auto *box = new QWidget(this);
    QGridLayout *grid = formGrid(box);

    cmbAudioType = listBox(u"cmbAudioType"_s, {tr("Left/Right"), tr("MPX")}, box);
    cmbAudioInput = listBox(u"cmbAudioInput"_s, {tr("Digital"), tr("Analog")}, box);
    cmbAudioTX = listBox(u"cmbAudioTX"_s, {tr("Unicast"), tr("Multicast")}, box);
    cmbSilDetMode =
        listBox(u"cmbSilDetMode"_s, {tr("Auto detect"), tr("Force internal"), tr("Force external")}, box);
    cmbEncoders = named(new QComboBox(box), u"cmbEncoders"_s);
    chkSFNEnabled = named(new QCheckBox(tr("Enabled"), box), u"chkSFNEnabled"_s);

    scrlAtten = scrollBar<AttenuationBar>(u"scrlAtten"_s, kAttenMin, kAttenMax, kAttenMax, 10, box);
    // A dragged thumb sets the attenuation once, when it is released.
    scrlAtten->setTracking(false);
    scrlBuffer = scrollBar(u"scrlBuffer"_s, kBufferMin, kBufferMax, kBufferMin, 1, box);
    scrlSilDetLevel =
        scrollBar(u"scrlSilDetLevel"_s, kSilDetLevelMin, kSilDetLevelMax, kSilDetLevelMin, 10, box);
    scrlSilDetTime = scrollBar(u"scrlSilDetTime"_s, kSilDetTimeMin, kSilDetTimeMax, kSilDetTimeMin, 10, box);

    lblAttenDB =
        valueLabel(u"lblAttenDB"_s, attenuationText(kAttenMax), attenuationText, kAttenMin, kAttenMax, box);
    lblLatency = valueLabel(u"lblLatency"_s, tr("0mS"), bufferText, kBufferMin, kBufferMax, box);
    lblSilDetLevel =
        valueLabel(u"lblSilDetLevel"_s, tr("0dBu"), silDetLevelText, kSilDetLevelMin, kSilDetLevelMax, box);
    lblSilDetTime =
        valueLabel(u"lblSilDetTime"_s, tr("0Sec"), silDetTimeText, kSilDetTimeMin, kSilDetTimeMax, box);

    Label9 = caption(tr("&Audio source:"), box, u"Label9"_s);
    Label20 = caption(tr("Buffer si&ze:"), box, u"Label20"_s);
    Label24 = caption(tr("Thresho&ld:"), box, u"Label24"_s);
    Label24->setToolTip(tr("Silence detector trigger level"));
    Label26 = caption(tr("Ti&meout:"), box, u"Label26"_s);
    Label26->setToolTip(tr("Silence detector time countdown"));

    // Audio input and attenuation share Label9's row; the layout shows one of them.
    auto *shared = new QWidget(box);
    auto *sharedRow = new QHBoxLayout(shared);
    sharedRow->setContentsMargins(0, 0, 0, 0);
    sharedRow->addWidget(cmbAudioInput, 1);
    sharedRow->addWidget(scrlAtten, 1);
    sharedRow->addWidget(lblAttenDB);
    // As wide as the wider of its two forms, so that switching them moves nothing.
    cmbAudioInput->hide();
    const int attenuationWidth = shared->minimumSizeHint().width();
    cmbAudioInput->show();
    scrlAtten->hide();
    lblAttenDB->hide();
    shared->setMinimumWidth(std::max(attenuationWidth, shared->minimumSizeHint().width()));
    describe(Label9, cmbAudioInput);
    scrlAtten->setAccessibleName(tr("Audio atten"));

    QLabel *typeCaption = caption(tr("Audio t&ype:"), box);
    describe(typeCaption, cmbAudioType);
    addRow(grid, typeCaption, cmbAudioType);
    addRow(grid, Label9, shared);
    QLabel *txCaption = caption(tr("T&X type:"), box);
    describe(txCaption, cmbAudioTX);
    addRow(grid, txCaption, cmbAudioTX);
    QLabel *routingCaption = caption(tr("Au&dio routing:"), box);
    describe(routingCaption, cmbSilDetMode);
    addRow(grid, routingCaption, cmbSilDetMode);
    QLabel *sfnCaption = caption(tr("S&FN option:"), box);
    describe(sfnCaption, chkSFNEnabled);
    addRow(grid, sfnCaption, chkSFNEnabled);
    describe(Label20, scrlBuffer);
    addRow(grid, Label20, scrlBuffer, lblLatency);
    describe(Label24, scrlSilDetLevel);
    addRow(grid, Label24, scrlSilDetLevel, lblSilDetLevel);
    describe(Label26, scrlSilDetTime);
    addRow(grid, Label26, scrlSilDetTime, lblSilDetTime);
    QLabel *boundCaption = caption(tr("&Bounded to:"), box);
    describe(boundCaption, cmbEncoders);
    const QString bound =
        tr("The encoder this element is bound to, as the database records it. For reference "
           "only: a choice made here is neither sent to the element nor saved.");
    for (QWidget *widget : std::initializer_list<QWidget *>{boundCaption, cmbEncoders})
        widget->setToolTip(bound);
    cmbEncoders->setAccessibleDescription(bound);
    addRow(grid, boundCaption, cmbEncoders);
    grid->setRowStretch(grid->rowCount(), 1);
    m_encoderOnly.append(txCaption);
    m_decoderOnly = {routingCaption,  cmbSilDetMode,  sfnCaption, chkSFNEnabled,  scrlBuffer,   Label24,
                     scrlSilDetLevel, lblSilDetLevel, Label26,    scrlSilDetTime, lblSilDetTime};
    keepRoomWhenHidden({txCaption, cmbAudioTX});
    keepRoomWhenHidden(m_decoderOnly);
    return box;
}

} // namespace ondalink
