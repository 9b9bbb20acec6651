@echo off
rem Removes the registration of Ramulet.dll in this folder (run as administrator).
regsvr32 /u /s "%~dp0Ramulet.dll"
if errorlevel 1 (
  echo Ramulet.dll was not unregistered: run unregister.cmd as an administrator.
  exit /b 1
)
echo Ramulet.dll is unregistered; the folder can now be deleted.
