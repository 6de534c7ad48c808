; Response file of the demonstration kit: the demo launcher reads nothing from it.
[InstallShield Silent]
Version=v7.00
File=Response File
