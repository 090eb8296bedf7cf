#pragma once
// Result codes of the command-string interface, with the numbers the catalogue logs and
// tests (0 is success).

namespace tbk {

constexpr int kMciOk = 0;
constexpr int kMciUnrecognizedKeyword = 259;
constexpr int kMciUnrecognizedCommand = 261;
constexpr int kMciHardware = 262;          // also: no disc in the drive, or its tray open
constexpr int kMciInvalidDeviceName = 263; // not a device, or not open
constexpr int kMciDeviceOpen = 265;        // this process has the device open already
constexpr int kMciCannotLoadDriver = 266;  // the drive or image cannot be opened
constexpr int kMciMissingCommandString = 267;
constexpr int kMciParamOverflow = 268;     // the answer does not fit the caller's buffer
constexpr int kMciBadInteger = 270;
constexpr int kMciMissingParameter = 273;
constexpr int kMciOutOfRange = 282;
constexpr int kMciMissingDeviceName = 292;
constexpr int kMciBadTimeFormat = 293;

} // namespace tbk
