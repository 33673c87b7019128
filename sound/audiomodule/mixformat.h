// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAudioFormat>

class QAudioDevice;

// The one format a device's shared mixer takes, where the system has one and a sink must be
// handed exactly that format to play without a converter of its own; an invalid format where
// the device takes any format it supports.
QAudioFormat mixFormat(const QAudioDevice &device);
