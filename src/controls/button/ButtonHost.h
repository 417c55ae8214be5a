#pragma once

#include "controls/button/ButtonColors.h"

#include <QFont>
#include <QString>
#include <QVariant>

namespace quibo {

// Where a button keeps its persisted properties: read with a default for a missing key, written
// with a default that the bag leaves out when the value equals it.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    virtual QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const = 0;
    // An invalid default means none: the value is always stored.
    virtual void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue) = 0;
};

// What the form holding a button supplies: its ambient properties, the property-changed notification,
// the access keys, the parent's font and colour, the container it groups option buttons by, and the
// message box of design-time messages. The form outlives its buttons.
class ButtonHost {
public:
    virtual ~ButtonHost() = default;

    // False while the form is being designed.
    virtual bool UserMode() const = 0;
    virtual QString DisplayName() const = 0;
    virtual ButtonColor AmbientBackColor() const = 0;
    virtual bool DisplayAsDefault() const = 0;

    // A persisted property changed; `key` is its property-bag key.
    virtual void PropertyChanged(const QString& key) = 0;
    // The characters that, with Alt, press the button; empty for none.
    virtual void SetAccessKeys(const QString& keys) = 0;

    virtual QFont ParentFont() const = 0;
    virtual ButtonColor ParentBackColor() const = 0;
    // Identifies the container window; buttons of one container form one option group.
    virtual QString ContainerHandle() const = 0;

    // An information message box; an empty title is the host's own.
    virtual void ShowDesignMessage(const QString& text, const QString& title) = 0;
};

} // namespace quibo
