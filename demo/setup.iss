; Response file of the demonstration kit: the demo launcher reads nothing from it. A real
; kit ships the response file that its launcher needs in silent mode.
