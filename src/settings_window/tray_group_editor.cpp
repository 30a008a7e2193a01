#include "settings_window/tray_group_editor.h"

#include "tray/tray_named_group.h"

namespace velmor {

TrayGroupEditor::TrayGroupEditor(Save save, QObject* parent) : QObject(parent), m_save(std::move(save)) {}

void TrayGroupEditor::openNew()
{
    m_editingGroupID.reset();
    m_name.clear();
    m_symbol = QString::fromLatin1(initialSymbol);
    Q_EMIT changed();
    setOpen(true);
}

void TrayGroupEditor::openExisting(const QUuid& id, const QString& name, const QString& symbol)
{
    m_editingGroupID = id;
    m_name = name;
    m_symbol = symbol;
    Q_EMIT changed();
    setOpen(true);
}

QString TrayGroupEditor::title() const
{
    return QString::fromUtf8(m_editingGroupID ? editTitle : newTitle);
}

void TrayGroupEditor::setName(const QString& name)
{
    if (m_name == name)
        return;
    m_name = name;
    Q_EMIT changed();
}

void TrayGroupEditor::setSymbol(const QString& symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = symbol;
    Q_EMIT changed();
}

QStringList TrayGroupEditor::symbols()
{
    QStringList names;
    for (const QStringView symbol : TrayNamedGroup::kSymbols)
        names.append(symbol.toString());
    return names;
}

void TrayGroupEditor::save()
{
    if (!m_open || !canSave())
        return;
    // The sheet closes first: saving rebuilds the window's areas.
    setOpen(false);
    if (m_save)
        m_save(m_editingGroupID, m_name, m_symbol);
}

void TrayGroupEditor::cancel()
{
    setOpen(false);
}

void TrayGroupEditor::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    Q_EMIT openChanged();
}

} // namespace velmor
