// Property lists from any source: decode, read every value through every accessor, edit, and
// write both forms. What was decoded must come back equal from the binary writer.

#include "foundation/property_list.h"
#include "foundation/property_list_variant.h"
#include "foundation/system_error.h"
#include "fuzz_target.h"

#include <cstdlib>
#include <vector>

using namespace velmor;

namespace {

void readEverything(const PlistNode& root)
{
    std::vector<PlistNode> pending{root};
    while (!pending.empty()) {
        const PlistNode node = pending.back();
        pending.pop_back();
        (void)node.toString();
        (void)node.toBool();
        (void)node.toInteger();
        (void)node.toReal();
        (void)node.toDate();
        (void)node.toData();
        (void)node.toUid();
        (void)node.at(0);
        (void)node.at(node.count() - 1);
        for (const PlistNode& element : node.elements())
            pending.push_back(element);
        for (const QString& key : node.keys()) {
            if (!node.contains(key))
                std::abort(); // every listed key must be found again
            pending.push_back(node.value(key));
        }
    }
}

} // namespace

VELMOR_FUZZ_HARNESS(property_list)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const PropertyList document = PropertyList::decode(bytes);
        readEverything(document.root());
        (void)plist_variant::toVariant(document.root());

        const PropertyList reread = PropertyList::decode(document.toBinary());
        if (!(reread == document))
            std::abort(); // the binary writer lost or changed a value
        try {
            (void)PropertyList::decode(document.toXml());
        } catch (const SystemError&) {
            // XML has no form for every binary value (UIDs); writing it must still not fault.
        }

        PropertyList edited = document;
        PlistNode root = edited.root();
        root.setBool(QStringLiteral("isAllowed"), false);
        root.setReal(QStringLiteral("position"), 1.5);
        root.setEntry(QStringLiteral("copy"), document);
        root.remove(QStringLiteral("isAllowed"));
        root.append(document);
        if (root.count() > 0 && root.isArray())
            root.at(0).assignBool(true);
        for (const QString& key : root.keys())
            root.value(key).setBool(QStringLiteral("isAllowed"), true);
        (void)PropertyList::decode(edited.toBinary());
    } catch (const SystemError&) {
    }
    return 0;
}
