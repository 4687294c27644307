#include "skin/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <chrono>

#include "config/Product.h"
#include "skin/SkinImageCache.h"

namespace orvel {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>()) {
    const struct {
        int id;
        const char* text;
    } entries[] = {{kOpen, "Open Orvel"}, {kRecord, "record"}, {kStop, "Stop"},
                   {kPause, "Pause"},     {kPlay, "Play"},     {kExit, "Exit"}};
    for (const auto& entry : entries) {
        QAction* action = m_menu->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.id);
        action->setCheckable(entry.id == kPause);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { choose(id); });
    }
    m_menu->setDefaultAction(action(kOpen));
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayIcon::prepareMenu);
    m_lookForTray.setInterval(std::chrono::seconds(2));
    connect(&m_lookForTray, &QTimer::timeout, this, [this] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            show();
        }
    });
    m_icon.setIcon(SkinImageCache::programIcon());
    m_icon.setToolTip(QString::fromLatin1(product::kName));
    m_icon.setContextMenu(m_menu.get());
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::DoubleClick) {
                    choose(kOpen);
                }
            });
}

TrayIcon::~TrayIcon() {
    m_icon.hide();
}

void TrayIcon::show() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_lookForTray.stop();
        m_icon.show();
    } else {
        // Qt docks an icon only into a tray present when it is shown.
        m_lookForTray.start();
    }
}

void TrayIcon::hide() {
    m_lookForTray.stop();
    m_icon.hide();
}

bool TrayIcon::shown() const {
    // Asked at every hide: a notification area can come and go with the desktop's panel.
    return QSystemTrayIcon::isSystemTrayAvailable() && m_icon.isVisible();
}

QAction* TrayIcon::action(int id) const {
    for (QAction* action : m_menu->actions()) {
        if (action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

void TrayIcon::prepareMenu() {
    const bool modal = modalOpen();
    for (QAction* action : m_menu->actions()) {
        action->setEnabled(!modal || action->data().toInt() == kOpen);
    }
    action(kPause)->setChecked(m_paused);
}

void TrayIcon::choose(int id) {
    if (id != kOpen && modalOpen()) {
        return;
    }
    emit command(id);
}

}  // namespace orvel
