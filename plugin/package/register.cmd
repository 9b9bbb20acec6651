@echo off
rem Registers Ramulet.dll from this folder for all users (run as administrator).
regsvr32 /s "%~dp0Ramulet.dll"
if errorlevel 1 (
  echo Ramulet.dll was not registered: run register.cmd as an administrator.
  exit /b 1
)
echo Ramulet.dll is registered.
