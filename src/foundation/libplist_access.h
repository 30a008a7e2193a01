#pragma once

#include <QByteArray>
#include <plist/plist.h>

#include <cstdlib>
#include <memory>

// Small helpers over libplist's C API shared by the document, its input checks and its writer.
namespace velmor::libplist {

// What libplist allocates for the caller (iterators, keys) is freed on every path, exceptions
// from a visitor included.
struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// Visits a dictionary's members in document order. The keys must hold no NUL character (the
// decoder rejects those): libplist asserts on them.
template <class Visit> void walkDictionary(plist_t dictionary, Visit&& visit)
{
    plist_dict_iter raw = nullptr;
    plist_dict_new_iter(dictionary, &raw);
    const std::unique_ptr<void, FreeDeleter> iterator(raw);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, raw, &rawKey, &value);
        const std::unique_ptr<char, FreeDeleter> key(rawKey);
        if (!value)
            return;
        visit(key.get(), value);
    }
}

// Visits an array's elements in order, in one pass (indexed access walks from the start).
template <class Visit> void walkArray(plist_t array, Visit&& visit)
{
    plist_array_iter raw = nullptr;
    plist_array_new_iter(array, &raw);
    const std::unique_ptr<void, FreeDeleter> iterator(raw);
    for (;;) {
        plist_t element = nullptr;
        plist_array_next_item(array, raw, &element);
        if (!element)
            return;
        visit(element);
    }
}

// The encoding libplist's own writer gives one scalar: the object of a one-object binary list,
// between the 8-byte header and the offset table. Used for the values whose exact stored form
// (integer width, date and real bits, UID size) only libplist knows. Throws SystemError.
QByteArray scalarObject(plist_t scalar);

// Whether the value nests more containers than `limit` (a lone scalar nests none). Stops looking
// once past the limit, so a document built deeper than that in code cannot exhaust the stack.
bool nestsDeeperThan(plist_t value, int limit);

} // namespace velmor::libplist
