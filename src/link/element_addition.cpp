// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_addition.h"

#include "link/element_link.h"
#include "model/ipv4.h"
#include "model/mac_text.h"
#include "model/notifier.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace ondalink {

QString typedMacAddress(const QString &text) {
    static const QRegularExpression form(u"^[0-9A-Fa-f]{2}(([:-]?)[0-9A-Fa-f]{2})(\\2[0-9A-Fa-f]{2}){4}$"_s);
    const QString trimmed = text.trimmed();
    if (!form.match(trimmed).hasMatch())
        return {};
    QString digits = trimmed;
    digits.remove(u':').remove(u'-');
    return elementKeyToMac(digits.toUpper());
}

ElementAddition::ElementAddition(ElementLink &link, QObject *parent) : QObject(parent), m_link(link) {
    m_wait.setObjectName(u"additionWait"_s);
    m_wait.setSingleShot(true);
    m_wait.setInterval(m_link.settings().additionWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &ElementAddition::timedOut);
    connect(&m_link, &ElementLink::additionAnswered, this, &ElementAddition::answered);
    connect(&m_link, &ElementLink::additionHandled, this, &ElementAddition::handled);
}

ElementAddition::~ElementAddition() {
    if (m_state != State::Idle)
        m_link.endAddition();
}

bool ElementAddition::start(const QString &addressText, const QString &macText) {
    if (m_state != State::Idle)
        return false;
    Notifier &notifier = m_link.notifier();
    const auto address = parseDottedAddress(addressText);
    const quint32 value = address ? address->value : 0;
    if (!address || value == 0 || value == 0xFFFFFFFFu || (value >> 28) == 0xE) {
        notifier.show({MessageId::AdditionAddressInvalid, {addressText}});
        Q_EMIT finished(Outcome::NotStarted, {});
        return false;
    }
    const QString mac = typedMacAddress(macText);
    if (!macText.trimmed().isEmpty() && mac.isEmpty()) {
        notifier.show({MessageId::AdditionMacInvalid, {macText}});
        Q_EMIT finished(Outcome::NotStarted, {});
        return false;
    }
    m_address = address->toString();
    if (mac.isEmpty() && !m_link.isOnLocalNetwork(*address)) {
        notifier.show({MessageId::AdditionNeedsMac, {m_address}});
        Q_EMIT finished(Outcome::NotStarted, {});
        return false;
    }
    QString failure;
    if (!m_link.beginAddition(*address, mac, &failure)) {
        notifier.show({MessageId::AdditionNotSent,
                       {m_address, QString::number(m_link.settings().pagingPort), failure}});
        Q_EMIT finished(Outcome::NotStarted, {});
        return false;
    }
    m_state = State::Waiting;
    m_wait.start();
    return true;
}

void ElementAddition::cancel() {
    if (m_state != State::Idle)
        finish(Outcome::NoAnswer);
}

// The answer is in; its MAC lookup may still take a while, bounded by the link's own.
void ElementAddition::answered() {
    if (m_state != State::Waiting)
        return;
    m_state = State::Answered;
    m_wait.stop();
}

void ElementAddition::handled(const QString &key) {
    if (m_state == State::Idle)
        return;
    // A refusal has been told by the report's own message.
    finish(key.isEmpty() ? Outcome::Refused : Outcome::Added, key);
}

void ElementAddition::timedOut() {
    if (m_state != State::Waiting)
        return;
    m_link.endAddition();
    m_state = State::Idle;
    m_link.notifier().show({MessageId::AdditionNoAnswer,
                            {m_address, QString::number(m_link.settings().pagingPort),
                             QString::number(m_link.settings().additionWaitMs / 1000.0)}});
    Q_EMIT finished(Outcome::NoAnswer, {});
}

void ElementAddition::finish(Outcome outcome, const QString &key) {
    m_wait.stop();
    m_link.endAddition();
    m_state = State::Idle;
    Q_EMIT finished(outcome, key);
}

} // namespace ondalink
