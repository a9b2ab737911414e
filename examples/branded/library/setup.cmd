@echo off
echo This example medium installs nothing: library
pause
