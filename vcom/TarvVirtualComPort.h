/* Virtual COM port pair library: lists, installs and removes the pairs COMn/TARVCOMn.
 *
 * Every function returns a 32-bit signed status; a failure leaves its reason in the
 * library's last-error text (TarvVComGetErrorDescription). Texts are 8-bit ANSI and are
 * copied into buffers that the caller owns and has filled with zeros. Programs bind
 * these functions by their fixed ordinals (the number after each name). */
#ifndef TARV_VIRTUAL_COM_PORT_H
#define TARV_VIRTUAL_COM_PORT_H

#ifdef TARVVCOM_BUILDING_DLL
#define TARVVCOM_API __declspec(dllexport)
#else
#define TARVVCOM_API __declspec(dllimport)
#endif

#define TARVVCOM_CALL __cdecl

/* Size of each pair text buffer that callers pass to TarvVComGetOneCOMPair. */
#define TARVVCOM_PAIR_TEXT_SIZE 20

#ifdef __cplusplus
extern "C" {
#endif

/* 1 */ TARVVCOM_API int TARVVCOM_CALL TarvVComInit(void);
/* 2 */ TARVVCOM_API int TARVVCOM_CALL TarvVComInstallAll(void);
/* 3 */ TARVVCOM_API int TARVVCOM_CALL TarvVComGetCOMPairCount(void);
/* 4 */ TARVVCOM_API int TARVVCOM_CALL TarvVComGetOneCOMPair(int index, char* pairId, char* portName,
                                                            char* partnerName);
/* 5 */ TARVVCOM_API int TARVVCOM_CALL TarvVComGetErrorDescription(char* buffer);
/* 6 */ TARVVCOM_API int TARVVCOM_CALL TarvVComInstall(int comNumber);
/* 7 */ TARVVCOM_API int TARVVCOM_CALL TarvVComRemove(const char* pairId);
/* 8 */ TARVVCOM_API int TARVVCOM_CALL TarvVComCheckPortUse(int comNumber);
/* 9 */ TARVVCOM_API int TARVVCOM_CALL TarvVComClose(void);

#ifdef __cplusplus
}
#endif

#endif
