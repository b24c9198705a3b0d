@echo off
rem Unregisters kroProgramDll: machine-wide (asks for administrator rights when needed), or with
rem /user what register.cmd /user wrote for the current user.
call "%~dp0register.cmd" /unregister %*
exit /b %errorlevel%
