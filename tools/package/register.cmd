@echo off
rem Registers kroProgramDll from this folder.
rem   register.cmd          machine-wide, for every architecture this Windows runs (the 64-bit module
rem                         with the 64-bit regsvr32, the 32-bit module with the 32-bit one); asks for
rem                         administrator rights when it does not have them
rem   register.cmd /user    for the current user only: no administrator rights needed
rem unregister.cmd takes the same choice. Exit code 0 when every module succeeded.
setlocal
set "here=%~dp0"
set "undo="
set "elevated="
if /i "%~1"=="/unregister" (set "undo=/u" & shift)
if /i "%~1"=="/elevated" (set "elevated=1" & shift)
set "scope=%~1"
if "%scope%"=="" goto scope_known
if /i "%scope%"=="/user" goto scope_known
echo usage: %~nx0 [/user]
exit /b 2
:scope_known

rem Which regsvr32 loads which module: a 32-bit console on 64-bit Windows reaches the 64-bit
rem system folder as Sysnative.
set "regsvr64="
set "regsvr32=%SystemRoot%\System32\regsvr32.exe"
if defined PROCESSOR_ARCHITEW6432 set "regsvr64=%SystemRoot%\Sysnative\regsvr32.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "regsvr64=%SystemRoot%\System32\regsvr32.exe"
if defined regsvr64 set "regsvr32=%SystemRoot%\SysWOW64\regsvr32.exe"

if /i "%scope%"=="/user" goto run
rem Machine-wide needs administrator rights; only an administrator may write into the Windows folder.
(echo.> "%SystemRoot%\kroProgramDll.check") >nul 2>&1
if exist "%SystemRoot%\kroProgramDll.check" (
    del "%SystemRoot%\kroProgramDll.check"
    goto run
)
if defined elevated (
    echo Administrator rights are needed; "%~nx0 /user" works for the current user without them.
    exit /b 5
)
echo Asking for administrator rights...
set "again=/elevated"
if defined undo set "again=/unregister /elevated"
powershell -NoProfile -Command "exit (Start-Process -FilePath '%~f0' -ArgumentList '%again%' -Verb RunAs -Wait -PassThru).ExitCode"
exit /b %errorlevel%

:run
set "flags=/s"
if defined undo set "flags=/s /u"
if /i "%scope%"=="/user" set "flags=%flags% /n /i:user"
set "status=0"
if defined regsvr64 call :module "%regsvr64%" x64
call :module "%regsvr32%" x86
set "what=registered"
if defined undo set "what=unregistered"
if /i "%scope%"=="/user" (set "what=%what% for the current user") else set "what=%what% machine-wide"
if "%status%"=="0" (echo kroProgramDll %what%.) else echo kroProgramDll: failed, not everything was %what%.
if defined elevated pause
exit /b %status%

:module
"%~1" %flags% "%here%%~2\kro project program dll library.dll"
if errorlevel 1 (
    echo   %~2: regsvr32 %flags% failed
    set "status=1"
) else (
    echo   %~2: %here%%~2\kro project program dll library.dll
)
exit /b 0
