@echo off
rem Registers the stand-ins of speechsim.dll (beside this script) in the machine's classes, or
rem removes them with /u. Run as administrator on Windows; under Wine: wine cmd /c this.cmd.
rem Usage: speechsim-register.cmd [recognizer^|inproc^|recognizers^|character^|all] [/u] [/force]
rem recognizer: the shared recognition context; inproc: the in-process recognizer; recognizers: both.
rem /force replaces a different server registered under the same class (a real one, say).
setlocal
set what=all
set unregister=
set force=
:arguments
if "%~1"=="" goto run
if /i "%~1"=="/u" (
  set unregister=/u
  shift
  goto arguments
)
if /i "%~1"=="/force" (
  set force=,force
  shift
  goto arguments
)
set what=%~1
shift
goto arguments
:run
regsvr32 /s %unregister% /n /i:%what%%force% "%~dp0speechsim.dll"
if errorlevel 1 (
  echo speechsim-register: regsvr32 failed for %what% 1>&2
  exit /b 1
)
exit /b 0
