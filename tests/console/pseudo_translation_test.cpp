// SPDX-License-Identifier: GPL-3.0-or-later
// Under the pseudo-translation (every source text wrapped in [ ] and 40 % longer), the windows show no
// text of ours untranslated and no label cut off.
#include "console_fixture.h"

#include "console/translations.h"
#include "console/widgets/about_box.h"
#include "console/widgets/add_element_dialog.h"
#include "console/widgets/import_dialog.h"
#include "console/widgets/paging_window.h"
#include "console/widgets/settings_dialog.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTranslator>

#include <algorithm>
#include <memory>

namespace ondalink::testing {
namespace {

// Data, not texts of ours: numbers, addresses, MACs, units of a number, a dash, the elements' names.
bool isData(const QString &text, const QStringList &names) {
    static const QRegularExpression noLetters(u"^[^\\p{L}]*$"_s);
    static const QRegularExpression mac(u"^([0-9A-F]{2}:){5}[0-9A-F]{2}$"_s);
    return noLetters.match(text).hasMatch() || mac.match(text).hasMatch() ||
           std::any_of(names.cbegin(), names.cend(),
                       [&text](const QString &name) { return text.startsWith(name); });
}

bool isPseudo(const QString &text) {
    return text.startsWith(u'[') && text.endsWith(u']');
}

class PseudoTranslation : public StatusWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo::exists(QStringLiteral(ONDALINK_PSEUDO_QM)));
        ASSERT_TRUE(m_translator.load(QStringLiteral(ONDALINK_PSEUDO_QM)));
        ASSERT_TRUE(QCoreApplication::installTranslator(&m_translator));
    }
    void TearDown() override {
        StatusWindowTest::TearDown();
        QCoreApplication::removeTranslator(&m_translator);
    }

    // Every text a widget of this window shows or tells a screen reader, with where it was found.
    void collect(QWidget *top) {
        const auto add = [this](const QObject *where, const char *what, const QString &text) {
            if (!text.isEmpty() && !isData(text, m_names))
                m_texts.append({where->objectName() + u'/' +
                                    QLatin1StringView(where->metaObject()->className()) + u'.' +
                                    QLatin1StringView(what),
                                text});
        };
        QList<QWidget *> widgets = top->findChildren<QWidget *>();
        widgets.prepend(top);
        for (QWidget *w : widgets) {
            // The standard buttons and the dock's title buttons are Qt's own, translated by Qt's catalogue.
            if (qobject_cast<QDialogButtonBox *>(w->parentWidget()) || w->objectName().startsWith(u"qt_"_s))
                continue;
            if (w->isWindow())
                add(w, "windowTitle", w->windowTitle());
            add(w, "toolTip", w->toolTip());
            add(w, "accessibleName", w->accessibleName());
            add(w, "accessibleDescription", w->accessibleDescription());
            if (auto *label = qobject_cast<QLabel *>(w))
                add(w, "text", label->text());
            if (auto *button = qobject_cast<QAbstractButton *>(w))
                add(w, "text", button->text());
            if (auto *group = qobject_cast<QGroupBox *>(w))
                add(w, "title", group->title());
            if (auto *box = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < box->count(); ++i)
                    add(w, "item", box->itemText(i));
            if (auto *tree = qobject_cast<QTreeView *>(w); tree && tree->model() && !tree->isHeaderHidden())
                for (int i = 0; i < tree->model()->columnCount(); ++i)
                    add(w, "header", tree->model()->headerData(i, Qt::Horizontal).toString());
            if (auto *box = qobject_cast<QMessageBox *>(w))
                add(w, "informativeText", box->informativeText());
            for (QAction *action : w->actions()) {
                add(action, "text", action->text());
                add(action, "toolTip", action->toolTip());
            }
            if (auto *menu = qobject_cast<QMenu *>(w))
                add(w, "title", menu->title());
        }
    }
    QStringList untranslated() const {
        QStringList found;
        for (const auto &[where, text] : m_texts)
            if (!isPseudo(text))
                found.append(where + u": \""_s + text + u'"');
        found.removeDuplicates();
        return found;
    }
    // Labels narrower than their text after layout.
    static QStringList cutOff(QWidget *top) {
        QStringList found;
        for (QLabel *label : top->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->wordWrap())
                continue;
            const int needed = label->minimumSizeHint().width();
            if (label->width() < needed)
                found.append(u"%1 \"%2\": %3 of %4 px"_s.arg(label->objectName(), label->text())
                                 .arg(label->width())
                                 .arg(needed));
        }
        return found;
    }
    void look(QWidget *top) {
        top->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
        collect(top);
        EXPECT_EQ(untranslated(), QStringList());
        EXPECT_EQ(cutOff(top), QStringList());
    }

    QTranslator m_translator;
    QStringList m_names{u"DEC 1"_s, kEncName.trimmed()};
    QList<std::pair<QString, QString>> m_texts;
};

TEST_F(PseudoTranslation, MainWindowWithAnElementSelected) {
    // The encoder's remote address is the decoder's: the panel names it.
    writeIni(iniText({{kDecoderKey, with(decoderKeys(), u"IP=127.0.0.2"_s)},
                      {kEncoderKey, with(encoderKeys(), u"REMOTE=127.0.0.2"_s)}}));
    build(settings());
    console = &station->addStatus(StatusSeams{asyncProber,
                                              clock,
                                              sink,
                                              notifier,
                                              userSettings,
                                              folder() + u"/events"_s,
                                              folder() + u"/history"_s,
                                              {}});
    ASSERT_TRUE(station->start());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));        // selected once laid out, as an operator does
    Q_EMIT station->link.databaseWriteFailed(u"disk full"_s); // an outcome in the status bar
    clickNode(kDecoderMac);
    look(window);
    // Every value of every bar fits its label in the narrowest window.
    window->resize(window->minimumSize());
    for (const char *name : {"scrlAtten", "scrlBuffer", "scrlSilDetLevel", "scrlSilDetTime"}) {
        auto *bar = window->findChild<QScrollBar *>(QLatin1StringView(name));
        ASSERT_NE(bar, nullptr) << name;
        const int shown = bar->value();
        for (int value = bar->minimum(); value <= bar->maximum(); ++value) {
            bar->setValue(value);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QStringList cut = cutOff(window);
            ASSERT_EQ(cut, QStringList()) << name << " at " << value;
        }
        bar->setValue(shown); // no edit left to ask about when the selection moves
    }
    for (QMenu *menu : window->findChildren<QMenu *>())
        collect(menu);
    EXPECT_EQ(untranslated(), QStringList());
    clickNode(kEncoderMac); // the encoder's layout has captions of its own
    EXPECT_FALSE(window->findChild<QLabel *>(u"lblRemoteElement"_s)->text().isEmpty());
    m_texts.clear();
    look(window);
}

TEST_F(PseudoTranslation, ThePagingWindowTheAboutBoxAndTheDialogs) {
    writeExample();
    ASSERT_TRUE(start());
    PagingWindow paging(window);
    paging.showStoredCount(2);
    const std::unique_ptr<QMessageBox> about(buildAboutBox(iniPath(), window));
    AddElementDialog add;
    ImportDialog import;
    SettingsDialog settings(StatusSettings{}, false); // with the hint on how to permit echoes
    for (QWidget *top : std::initializer_list<QWidget *>{&paging, about.get(), &add, &import, &settings}) {
        SCOPED_TRACE(top->metaObject()->className());
        m_texts.clear();
        look(top);
    }
}

// The program's loader: the locale's file from the first folder that has one, else English.
TEST(Translations, TheLocalesFileIsLoadedFromTheFirstFolderThatHasItAndEnglishStaysOtherwise) {
    QTemporaryDir empty, installed;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ONDALINK_PSEUDO_QM), installed.filePath(u"ondalink_de.qm"_s)));
    const QStringList folders{empty.path(), installed.path()};
    const QString english = QCoreApplication::translate("Message", "Korvalen Ondalink Manager");
    for (const auto &[locale, loaded] : {std::pair{QLocale(QLocale::German, QLocale::Austria), true},
                                         std::pair{QLocale(QLocale::French), false}}) {
        QTranslator translator;
        EXPECT_EQ(installTranslation(translator, locale, folders), loaded) << qPrintable(locale.name());
        const QString shown = QCoreApplication::translate("Message", "Korvalen Ondalink Manager");
        EXPECT_EQ(shown != english, loaded) << qPrintable(shown);
        QCoreApplication::removeTranslator(&translator);
    }
}

} // namespace
} // namespace ondalink::testing
