// The library's own texts: last-error messages, progress lines and setupc command lines.
// They are part of the interface (callers show them, users read them), so they stay
// exactly as written here, misspellings included.
#pragma once

namespace clser::vcom::text {

// State checks of the exports.
inline constexpr char kNotInitialized[] = "Error: Modul is not initialized\n";
inline constexpr char kNotSuccessfullyInitialized[] = "Error: Modul is not succesfully initialized\n";
inline constexpr char kNotInitializedDot[] = "Error: Modul is not initialized.\n";
inline constexpr char kNotSuccessfullyInitializedDot[] = "Error: Modul is not succesfully initialized.\n";
inline constexpr char kRemoveNotInitialized[] = "Error Remove: Modul not initialized.\n";

// Initialisation and listing.
inline constexpr char kCom0comNotFound[] =
    "Not found com0com in \"$(TARVDIR5_32)\", \"$(TARVDIR5_64)\", \"$(TARVDIR5)\", or \"%s\\com0com\"\n"
    "Please check the installation.\n";
inline constexpr char kListStartFailed[] = "Error: com0com client not found in\n >%s<\n";
inline constexpr char kListWaitFailed[] = "Error: com0com client not found.\n";
inline constexpr char kInvalidPairNaming[] = "Error: Invalid naming of virtual COM port pair.\n";
inline constexpr char kTempDirectoryUnusable[] =
    "Error: The TEMP directory is not set or its path is too long for the list file.\n";
inline constexpr char kListCommand[] = "--output %s\\TarvVirtualCom.txt list";
inline constexpr char kListFileName[] = "%s\\TarvVirtualCom.txt";

// Reading the pairs.
inline constexpr char kNoPairsInstalled[] = "Error: Not found any installed virtual com ports.\n";
inline constexpr char kInvalidPairIndex[] = "Error GetOneCOMPair: Invalid index, please give 0-%d";

// Port check and installation.
inline constexpr char kCheckNumberNotPositive[] = "Error: COM port number should greater than 0.\n";
inline constexpr char kInstallNumberNotPositive[] =
    "Error Install: Invalid COM number, COM port number should be greater than 0.\n";
inline constexpr char kInstallNumberOccupied[] = "Error Install: The given COM port number is occupied.\n";
inline constexpr char kInstallCommand[] = "--silent install PortName=COM%d PortName=TARVCOM%d";
inline constexpr char kInstallingPair[] =
    "Installing virtual com port pair with portnameA = COM%d portnameB = TARVCOM%d\n";
inline constexpr char kInstallStartFailed[] = "Error Install: Internal error: %d.\n";
inline constexpr char kInstallWaitFailed[] = "Error Install: Install failed.\n";
inline constexpr char kUserEndPath[] = "\\\\.\\COM%d";
inline constexpr char kBridgeEndPath[] = "\\\\.\\TARVCOM%d";
inline constexpr char kInstallDone[] = "\nInstall succesfully done.\n";
inline constexpr char kWaitingSecondsBelowTen[] = "\rWaiting for install, timeout up to 5 minutes: 0%d:0%d";
inline constexpr char kWaitingSeconds[] = "\rWaiting for install, timeout up to 5 minutes: 0%d:%d";

// Removal.
inline constexpr char kRemoveNoPairs[] = "Error Remove: Not found any virtual COM ports.\n";
inline constexpr char kRemoveNullId[] = "Error Remove: Invalid PortID.\n";
inline constexpr char kRemoveUnknownId[] = "Error Remove: Not found any virtual COM ports with this ID: %s\n";
inline constexpr char kRemoveBadId[] = "Error Remove: Invalide port ID.\n";
inline constexpr char kRemoveCommand[] = "--silent remove %d";
inline constexpr char kRemoveStartFailed[] = "Error Remove: Not found com0com client.\n";

// Installation of every missing pair.
inline constexpr char kNoCameraLinkBoards[] =
    "Error: Cannot find any CameraLink boards, please check the system configuration.\n";
inline constexpr char kInstallingPairNumber[] = "Installing virtual com ports: %d\n";
inline constexpr char kInstallAllFailed[] = "Install failed!!!!!!!\n";

} // namespace clser::vcom::text
