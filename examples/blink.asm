; Blinks an LED on RB0 of a PIC16F877A (20 MHz crystal) at a rate kept in data EEPROM.
; Assembled with: gpasm -a inhx32 -o blink.hex blink.asm
; The bootloader owns words 0x0000-0x00FF, so the program starts at word 0x0100.
        list    p=16f877a
        #include <p16f877a.inc>
        radix   dec
        errorlevel -302         ; banksel sets the banks

        __CONFIG _HS_OSC & _WDT_OFF & _PWRTE_ON & _BODEN_ON & _LVP_OFF & _CP_OFF
        __IDLOCS 0x0101         ; version 1.1 of this program

count1  equ     0x20            ; delay counters
count2  equ     0x21
count3  equ     0x22
rate    equ     0x23            ; copy of EEPROM byte 0

        org     0x0100
start:  clrf    PCLATH          ; page 0 for the calls and gotos below
        banksel TRISB
        clrf    TRISB           ; PORTB drives the LEDs
        banksel EEADR
        clrf    EEADR           ; EEPROM byte 0: the blink rate
        banksel EECON1
        bcf     EECON1, EEPGD
        bsf     EECON1, RD
        banksel EEDATA
        movf    EEDATA, W
        banksel PORTB
        movwf   rate
        clrf    PORTB
loop:   movlw   1
        xorwf   PORTB, F        ; toggle RB0
        call    pause
        goto    loop

; About 39 ms per unit of rate at 20 MHz.
pause:  movf    rate, W
        movwf   count3
outer:  clrf    count2
middle: clrf    count1
inner:  decfsz  count1, F
        goto    inner
        decfsz  count2, F
        goto    middle
        decfsz  count3, F
        goto    outer
        return

        org     0x2100          ; data EEPROM
        de      10              ; blink rate: half a period of about 0.4 s
        de      "Kestrel blink example", 0
        end
