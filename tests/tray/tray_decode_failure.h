#pragma once

#include "foundation/json.h"
#include "tray/tray_decode_error.h"

#include <gtest/gtest.h>

// The error a decoder throws for `text`; a test failure when it decodes.
template <typename Decoder> velmor::TrayDecodeError trayDecodeFailure(const char* text)
{
    try {
        Decoder::decode(velmor::Json::parse(text));
    } catch (const velmor::TrayDecodeError& error) {
        return error;
    }
    ADD_FAILURE() << "decoded: " << text;
    return velmor::TrayDecodeError::keyNotFound({});
}
