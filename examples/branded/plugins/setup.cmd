@echo off
echo This example medium installs nothing: plugins
pause
