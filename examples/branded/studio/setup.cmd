@echo off
echo This example medium installs nothing: studio
pause
